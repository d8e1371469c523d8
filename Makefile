# Developer targets; ./dev.sh installs the packages first and then calls these.
JOBS ?= $(shell nproc)
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
CTEST = ctest --output-on-failure -j $(JOBS)

.PHONY: all configure run test sanitize tsan bench fuzz package format clean

all: configure
	cmake --build $(BUILD) -j $(JOBS)

configure:
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

# Running needs the program and, where the tree has it, its browser helper; not the tests.
RUN_TARGETS = quillpost $(if $(wildcard browser/CMakeLists.txt),quillpost-browser)

run: configure
	cmake --build $(BUILD) -j $(JOBS) --target $(RUN_TARGETS)
	@if [ -z "$${DISPLAY:-}$${WAYLAND_DISPLAY:-}" ]; then \
	    echo "No display: starting under Xvfb, where nothing can be seen."; \
	    xvfb-run -a ./$(BUILD)/quillpost; \
	else ./$(BUILD)/quillpost; fi

test: all
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen $(CTEST)

# The benchmarks are built here too, not run: beside the libraries this build makes anyway
# they cost little, and a change that breaks one does not get past it.
sanitize:
	$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DQUILLPOST_SANITIZE=ON -DQUILLPOST_BENCH=ON"

tsan:
	$(MAKE) test BUILD=build-tsan CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DQUILLPOST_TSAN=ON"

bench:
	$(MAKE) all BUILD=build-bench CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Release -DQUILLPOST_BENCH=ON -DQUILLPOST_TESTS=OFF"
	@for b in build-bench/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] || continue; \
	    echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b --benchmark_color=false || exit 1; done

# The data file loader under libFuzzer for FUZZ_TIME seconds; new inputs gather in build-fuzz/corpus.
FUZZ_TIME ?= 30
fuzz:
	$(MAKE) configure BUILD=build-fuzz CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DQUILLPOST_FUZZ=ON -DQUILLPOST_TESTS=OFF"
	cmake --build build-fuzz -j $(JOBS) --target fuzz_datafile
	mkdir -p build-fuzz/corpus
	build-fuzz/tests/data/fuzz/fuzz_datafile -max_total_time=$(FUZZ_TIME) -timeout=10 -rss_limit_mb=4096 \
	    build-fuzz/corpus tests/data/fuzz/corpus

# A Debian package of a Release build for /usr: build-package/quillpost_<version>_<arch>.deb.
package:
	$(MAKE) configure BUILD=build-package \
	    CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DQUILLPOST_TESTS=OFF"
	cmake --build build-package -j $(JOBS) --target package

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-tsan build-bench build-fuzz build-package
