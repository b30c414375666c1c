# Thin front end over CMake. `make demo` and `make test` work on a fresh machine.
PREFIX ?= /usr/local
BUILD ?= build
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

.PHONY: all deps build demo test sanitize fuzz bench install clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	@echo "$$ blobxml -i examples/request.der   # default type: CertificationRequest"
	@$(BUILD)/blobxml -i examples/request.der

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(SANITIZE_BUILD)/build.ninja:
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBLOBXML_SANITIZE=ON $(CMAKE_FLAGS)

sanitize: deps $(SANITIZE_BUILD)/build.ninja
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# libFuzzer harnesses under clang with ASan and UBSan (fuzz/CMakeLists.txt),
# each run for FUZZ_SECONDS (or FUZZ_RUNS executions) over a corpus kept in
# $(FUZZ_BUILD). FUZZ_SANITIZERS=OFF, in a build directory of its own, gives
# the faster harnesses for long runs.
$(FUZZ_BUILD)/build.ninja:
	cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DBLOBXML_FUZZ_JOBS=$(JOBS) \
	  -DBLOBXML_FUZZ_SANITIZERS=$(FUZZ_SANITIZERS)

fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_RUNS=$(FUZZ_RUNS) FUZZ_SEED=$(FUZZ_SEED) \
	  bash fuzz/run_fuzzers.sh $(FUZZ_BUILD)

# Throughput, memory and start-up benchmarks of the optimised build, with
# the check of the performance targets (bench/run_bench.sh).
$(BENCH_BUILD)/build.ninja:
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DBLOBXML_BENCH=ON $(CMAKE_FLAGS)

bench: deps $(BENCH_BUILD)/build.ninja
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target blobxml_tool blobxml_bench \
	  blobxml_bench_memory blobxml_bench_empty blobxml_bench_run
	bash bench/run_bench.sh $(BENCH_BUILD) $(BENCH_REPETITIONS)

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
