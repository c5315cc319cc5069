# Front door for the common tasks; CMake does the building.
#   make run    install dependencies, build, start Lorimel on its demo playlist
#   make test   install dependencies, build, run every test (ctest)
#   make bench  build the benchmarks and print BENCH lines
#   make fuzz   run every fuzz target for FUZZ_SECONDS each
BUILD ?= build
JOBS ?= $(shell nproc)
BUILD_TYPE ?= RelWithDebInfo
WERROR ?= $(if $(filter true 1 yes,$(CI)),ON,OFF)
SANITIZE ?= OFF
FUZZ_SECONDS ?= 60
CMAKE_ARGS ?=

.PHONY: all deps configure build run test bench fuzz format clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	  -DLORIMEL_WERROR=$(WERROR) -DLORIMEL_SANITIZE=$(SANITIZE) $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench:
	@scripts/install-deps.sh --bench
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DLORIMEL_BENCH=ON \
	  -DLORIMEL_TESTS=OFF -DLORIMEL_FUZZ_SMOKE=OFF $(CMAKE_ARGS)
	cmake --build $(BUILD)-bench -j $(JOBS)
	@scripts/run-benchmarks.sh $(BUILD)-bench

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD)-fuzz -DLORIMEL_FUZZ=ON \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)
	cmake --build $(BUILD)-fuzz -j $(JOBS)
	@scripts/run-fuzzers.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-fuzz
