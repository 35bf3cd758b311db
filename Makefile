# The two set-up commands are `make run` and `make test`; see README.md.
BUILD_DIR ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)
# A compiler cache, when one is installed, makes rebuilds after a branch switch cheap.
CCACHE := $(shell command -v ccache 2>/dev/null)
LAUNCHER_FLAGS := $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE) -DCMAKE_C_COMPILER_LAUNCHER=$(CCACHE))

.PHONY: all deps configure build run test bench package fuzz format clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja $(LAUNCHER_FLAGS) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@scripts/run.sh

test: build
	@scripts/with-test-db.sh ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

bench: build
	@ZEFIRAN_STATEMENT_LOG=0 scripts/with-test-db.sh $(BUILD_DIR)/bin/zefiran-bench \
		--benchmark_out=$(BUILD_DIR)/bench-results.json --benchmark_out_format=json

# The Debian package, from the plain build (only the programs and their files go in):
# $(BUILD_DIR)/zefiran_<version>_<arch>.deb.
package: build
	@cmake --build $(BUILD_DIR) --target package

# The fuzzers, built with clang in a folder of their own, each run for FUZZ_SECONDS.
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	@cmake -S . -B $(FUZZ_BUILD_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
		-DZEFIRAN_FUZZ=ON -DZEFIRAN_BUILD_TESTS=OFF -DZEFIRAN_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS) --target zefiran-fuzzers
	@scripts/fuzz.sh $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_BUILD_DIR)
