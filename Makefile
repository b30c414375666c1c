# Thin front end over CMake. `make demo` and `make test` work on a fresh
# machine; `make help` lists every target.
PREFIX ?= /usr/local
BUILD ?= build
# Release (optimised, no debug information) unless given, for instance
# `make test BUILD_TYPE=RelWithDebInfo`; CMAKE_FLAGS reach every configuration.
BUILD_TYPE ?=
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 300
FUZZ_SANITIZERS ?= ON
FUZZ_RUNS ?=
FUZZ_SEED ?=
BENCH_BUILD ?= build-bench
BENCH_REPETITIONS ?= 10
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

CONFIGURE = cmake -S . -G Ninja $(if $(BUILD_TYPE),-DCMAKE_BUILD_TYPE=$(BUILD_TYPE)) $(CMAKE_FLAGS)
# The library and the program, all that the demo and an installation need.
PROGRAM_TARGETS = blobxml blobxml_tool

.PHONY: all help deps demo program build test install sanitize fuzz bench clean

all: build

help:
	@echo "make demo      build the library and the program only, and convert examples/request.der"
	@echo "make test      build everything (tests included) and run the whole test suite"
	@echo "make program   build the library and the program only (what demo and install build)"
	@echo "make build     build everything, tests included, without running them (also plain 'make')"
	@echo "make install   build the library and the program and install them under PREFIX (/usr/local)"
	@echo "make sanitize  build in $(SANITIZE_BUILD) under ASan and UBSan and run the test suite there"
	@echo "make fuzz      build the libFuzzer harnesses in $(FUZZ_BUILD) and run each for FUZZ_SECONDS"
	@echo "make bench     build the optimised benchmarks in $(BENCH_BUILD), run them and check the targets"
	@echo "make deps      install every package that any target needs (what CI does)"
	@echo "make clean     remove every build directory"
	@echo "Variables: PREFIX, BUILD, BUILD_TYPE (Release; e.g. RelWithDebInfo), CMAKE_FLAGS, JOBS,"
	@echo "  FUZZ_SECONDS, FUZZ_RUNS, FUZZ_SEED, FUZZ_SANITIZERS, BENCH_REPETITIONS"

deps:
	@bash scripts/install-deps.sh all

# The program alone: a build directory configured here for the first time
# leaves the test suite (and GoogleTest) out; one that make test configured
# keeps it. BUILD_TYPE or CMAKE_FLAGS configure it again.
program:
	@bash scripts/install-deps.sh demo
	@if [ ! -f $(BUILD)/build.ninja ]; then $(CONFIGURE) -B $(BUILD) -DBLOBXML_TESTS=OFF; \
	elif [ -n "$(BUILD_TYPE)$(CMAKE_FLAGS)" ]; then $(CONFIGURE) -B $(BUILD); fi
	cmake --build $(BUILD) -j $(JOBS) --target $(PROGRAM_TARGETS)

demo: program
	@echo "$$ blobxml -i examples/request.der   # default type: CertificationRequest"
	@$(BUILD)/blobxml -i examples/request.der

build:
	@bash scripts/install-deps.sh test
	$(CONFIGURE) -B $(BUILD) -DBLOBXML_TESTS=ON
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

install: program
	cmake --install $(BUILD) --prefix $(PREFIX)

sanitize:
	@bash scripts/install-deps.sh sanitize
	@test -f $(SANITIZE_BUILD)/build.ninja || \
	  cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBLOBXML_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# libFuzzer harnesses under clang with ASan and UBSan (fuzz/CMakeLists.txt),
# each run for FUZZ_SECONDS (or FUZZ_RUNS executions) over a corpus kept in
# $(FUZZ_BUILD). FUZZ_SANITIZERS=OFF, in a build directory of its own, gives
# the faster harnesses for long runs.
fuzz:
	@bash scripts/install-deps.sh fuzz
	@test -f $(FUZZ_BUILD)/build.ninja || \
	  cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DBLOBXML_FUZZ_JOBS=$(JOBS) \
	    -DBLOBXML_FUZZ_SANITIZERS=$(FUZZ_SANITIZERS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_RUNS=$(FUZZ_RUNS) FUZZ_SEED=$(FUZZ_SEED) \
	  bash fuzz/run_fuzzers.sh $(FUZZ_BUILD)

# Throughput, memory and start-up benchmarks of the optimised build, with
# the check of the performance targets (bench/run_bench.sh).
bench:
	@bash scripts/install-deps.sh bench
	@test -f $(BENCH_BUILD)/build.ninja || \
	  $(CONFIGURE) -B $(BENCH_BUILD) -DBLOBXML_BENCH=ON -DBLOBXML_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target blobxml_tool blobxml_bench \
	  blobxml_bench_memory blobxml_bench_empty blobxml_bench_run
	bash bench/run_bench.sh $(BENCH_BUILD) $(BENCH_REPETITIONS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
