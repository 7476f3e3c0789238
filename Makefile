# Thin wrapper over CMake so the everyday commands stay short.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
RELEASE := build/release
SANITIZE := build/sanitize
FUZZ := build/fuzz
FUZZ_SECONDS ?= 60
TSAN := build/tsan
PROFILE := build/profile
WINDOWS := build/windows
WASM := build/wasm
WASM_MT := build/wasm-mt
WASM_ENGINE := build/wasm-engine
WEB := build/web
# Debian's Emscripten runs its JavaScript tools with the Node.js modules Debian packs.
EMSCRIPTEN_ENV := NODE_PATH=/usr/share/nodejs
ARM64 := build/arm64
# The version of the archives is the engine's own version tag.
VERSION := $(shell sed -n 's/^const char\* const VERSION_TAG = "\(.*\)";/\1/p' src/shell/options.cpp)
# The training runs of the profile build: one pass of the benchmark, and a perft so that move
# generation and make are trained on every kind of move.
PROFILE_RUN := -bench -passes 1
PROFILE_PERFT := position startpos\ngo perft 5\nposition fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1\ngo perft 4\nquit\n

.PHONY: all build bench test test-sanitize test-tsan fuzz profile-build install uninstall clean \
	windows arm64 test-windows test-arm64 dist wasm web serve-web test-web

# make install / uninstall: the engine, its copy for newer processors and its man page, nothing
# else. DESTDIR stages a package.
PREFIX ?= /usr/local
INSTALLED_BIN := $(DESTDIR)$(PREFIX)/bin/quoril
INSTALLED_COPY := $(DESTDIR)$(PREFIX)/bin/quoril-bmi2
INSTALLED_MAN := $(DESTDIR)$(PREFIX)/share/man/man6/quoril.6

all: build

build:
	cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(RELEASE) -j $(JOBS)

bench: build
	./$(RELEASE)/quoril -bench

test: build
	cd $(RELEASE) && ctest --output-on-failure -j $(JOBS)

test-sanitize:
	cmake -S . -B $(SANITIZE) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORIL_SANITIZE=ON >/dev/null
	cmake --build $(SANITIZE) -j $(JOBS)
	cd $(SANITIZE) && ctest --output-on-failure -j $(JOBS)

# The searches that run threads and the threads' first table loads, under ThreadSanitizer: any race
# fails the run.
test-tsan:
	cmake -S . -B $(TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORIL_TSAN=ON >/dev/null
	cmake --build $(TSAN) -j $(JOBS) --target quoril test_threads test_search test_tb_threads
	cd $(TSAN) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -R 'test_(threads|search|tb_threads)$$'

# Cross builds: Windows x86-64 (MinGW-w64) and ARM64 Linux, each with its whole test suite, run
# under Wine and QEMU.
windows:
	cmake -S . -B $(WINDOWS) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/windows-x86-64.cmake >/dev/null
	cmake --build $(WINDOWS) -j $(JOBS)

arm64:
	cmake -S . -B $(ARM64) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/linux-arm64.cmake >/dev/null
	cmake --build $(ARM64) -j $(JOBS)

# A new Wine prefix is made on first use, once, before the tests start in parallel.
test-windows: windows
	WINEDEBUG=-all wineboot --init >/dev/null 2>&1 || true
	cd $(WINDOWS) && ctest --output-on-failure -j $(JOBS)

test-arm64: arm64
	cd $(ARM64) && ctest --output-on-failure -j $(JOBS)

# The three download archives in dist/: engine binaries, README and the doc/ pages it links to, the
# manual, and the licences of what is linked in. cmake -E tar writes both kinds, so nothing else is
# needed but groff for the manual's plain-text copy.
DIST_STAGE := build/dist
dist: build windows arm64
	rm -rf $(DIST_STAGE) && mkdir -p dist
	for arch in x86-64 arm64; do \
	  d=$(DIST_STAGE)/quoril-$(VERSION)-linux-$$arch; mkdir -p $$d; \
	  cp README.md $$d/README; cp doc/quoril.6 $$d/; mkdir -p $$d/doc && cp doc/*.md $$d/doc/; \
	  cp third_party/fathom/LICENSE $$d/LICENSE.fathom; cp doc/notices/gcc-runtime.txt $$d/NOTICE.gcc-runtime; \
	done
	cp $(RELEASE)/quoril $(RELEASE)/quoril-bmi2 $(DIST_STAGE)/quoril-$(VERSION)-linux-x86-64/
	cp $(ARM64)/quoril $(DIST_STAGE)/quoril-$(VERSION)-linux-arm64/
	d=$(DIST_STAGE)/quoril-$(VERSION)-windows-x86-64; mkdir -p $$d && \
	  cp $(WINDOWS)/quoril.exe $(WINDOWS)/quoril-bmi2.exe $$d/ && \
	  sed 's/$$/\r/' README.md > $$d/README.txt && mkdir -p $$d/doc && \
	  for f in doc/*.md; do sed 's/$$/\r/' $$f > $$d/$$f; done && \
	  GROFF_NO_SGR=1 groff -man -Tascii -P-cbou doc/quoril.6 | sed 's/$$/\r/' > $$d/quoril.txt && \
	  sed 's/$$/\r/' third_party/fathom/LICENSE > $$d/LICENSE.fathom.txt && \
	  sed 's/$$/\r/' doc/notices/gcc-runtime.txt > $$d/NOTICE.gcc-runtime.txt && \
	  sed 's/$$/\r/' doc/notices/mingw-w64-runtime.txt > $$d/NOTICE.mingw-w64-runtime.txt
	for arch in x86-64 arm64; do \
	  (cd $(DIST_STAGE) && cmake -E tar czf ../../dist/quoril-$(VERSION)-linux-$$arch.tar.gz quoril-$(VERSION)-linux-$$arch) || exit 1; \
	done
	cd $(DIST_STAGE) && cmake -E tar cf ../../dist/quoril-$(VERSION)-windows-x86-64.zip --format=zip quoril-$(VERSION)-windows-x86-64
	ls -l dist

# Each libFuzzer target for FUZZ_SECONDS on a copy of its seed corpus under fuzz/corpus.
fuzz:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORIL_FUZZ=ON -DQUORIL_TESTS=OFF >/dev/null
	cmake --build $(FUZZ) -j $(JOBS)
	for t in uci fen book; do \
	  mkdir -p $(FUZZ)/corpus/$$t && cp fuzz/corpus/$$t/* $(FUZZ)/corpus/$$t/ && \
	  (cd $(FUZZ) && ./fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	    -max_len=4096 -print_final_stats=1 corpus/$$t) || exit 1; \
	done

# Release build optimised with the run counts of a training search; the engine is $(PROFILE)/quoril.
profile-build:
	rm -rf $(PROFILE)
	cmake -S . -B $(PROFILE) -DCMAKE_BUILD_TYPE=Release -DQUORIL_TESTS=OFF -DQUORIL_PGO=generate >/dev/null
	cmake --build $(PROFILE) -j $(JOBS) --target quoril
	./$(PROFILE)/quoril $(PROFILE_RUN) >/dev/null
	printf '$(PROFILE_PERFT)' | ./$(PROFILE)/quoril >/dev/null
	cmake -S . -B $(PROFILE) -DQUORIL_PGO=use >/dev/null
	cmake --build $(PROFILE) -j $(JOBS) --target quoril

install: build
	install -D -m 755 $(RELEASE)/quoril "$(INSTALLED_BIN)"
	if [ -f $(RELEASE)/quoril-bmi2 ]; then install -D -m 755 $(RELEASE)/quoril-bmi2 "$(INSTALLED_COPY)"; fi
	install -D -m 644 doc/quoril.6 "$(INSTALLED_MAN)"

# Removes the same three files; the directories stay, as they may hold other programs.
uninstall:
	rm -f "$(INSTALLED_BIN)" "$(INSTALLED_COPY)" "$(INSTALLED_MAN)"

clean:
	rm -rf build dist

# The engine for the browser: without threads (pages that are not cross-origin isolated) and with
# them, and the worker that speaks UCI with the page, gathered in $(WASM_ENGINE).
wasm:
	emcmake cmake -S . -B $(WASM) -DCMAKE_BUILD_TYPE=Release >/dev/null
	$(EMSCRIPTEN_ENV) cmake --build $(WASM) -j $(JOBS) --target quoril
	emcmake cmake -S . -B $(WASM_MT) -DCMAKE_BUILD_TYPE=Release -DQUORIL_WASM_THREADS=ON >/dev/null
	$(EMSCRIPTEN_ENV) cmake --build $(WASM_MT) -j $(JOBS) --target quoril
	mkdir -p $(WASM_ENGINE)
	cp web/engine/quoril-worker.js $(WASM)/quoril.js $(WASM)/quoril.wasm $(WASM_MT)/quoril-mt.js \
	  $(WASM_MT)/quoril-mt.wasm $(WASM_MT)/quoril-mt.worker.js $(WASM_ENGINE)/

# The page and the engine in $(WEB); served with the isolation headers by make serve-web.
web: wasm
	cd web && ([ -d node_modules ] || npm ci --no-audit --no-fund) && \
	  QUORIL_ENGINE_DIR=$(CURDIR)/$(WASM_ENGINE) QUORIL_WEB_OUT=$(CURDIR)/$(WEB) npm run build

serve-web:
	cd web && QUORIL_WEB_OUT=$(CURDIR)/$(WEB) npm run serve

# Both engines in Node.js against the native one, the page's own tests, and the page in Chromium.
test-web: web build
	QUORIL_WASM=$(WASM)/quoril.js node --test --test-force-exit tests/wasm/
	QUORIL_WASM=$(WASM_MT)/quoril-mt.js node --test --test-force-exit tests/wasm/
	cd web && npm test && QUORIL_WEB_OUT=$(CURDIR)/$(WEB) npm run test:browser
