# Thin wrapper over CMake so the everyday commands stay short.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
RELEASE := build/release
SANITIZE := build/sanitize
TSAN := build/tsan

.PHONY: all build bench test test-sanitize test-tsan perft clean

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

clean:
	rm -rf build
