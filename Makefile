# Thin wrapper over CMake so the everyday commands stay short.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
RELEASE := build/release
SANITIZE := build/sanitize
FUZZ := build/fuzz
FUZZ_SECONDS ?= 60
TSAN := build/tsan
PROFILE := build/profile
# The training runs of the profile build: one pass of the benchmark, and a perft so that move
# generation and make are trained on every kind of move.
PROFILE_RUN := -bench -passes 1
PROFILE_PERFT := position startpos\ngo perft 5\nposition fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1\ngo perft 4\nquit\n

.PHONY: all build bench test test-sanitize test-tsan fuzz perft profile-build install uninstall clean

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

# The searches that run threads, under ThreadSanitizer: any race fails the run.
test-tsan:
	cmake -S . -B $(TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORIL_TSAN=ON >/dev/null
	cmake --build $(TSAN) -j $(JOBS) --target quoril test_threads test_search
	cd $(TSAN) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -R 'test_(threads|search)$$'

# Each libFuzzer target for FUZZ_SECONDS on a copy of its seed corpus under fuzz/corpus.
fuzz:
	CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORIL_FUZZ=ON -DQUORIL_TESTS=OFF >/dev/null
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
	rm -rf build
