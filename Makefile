# Thin front over CMake. `make run` and `make test` install what is missing first.
BUILD      ?= build
BUILD_SAN  ?= build-sanitize
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps configure build run test test-plain test-sanitize demo bench fuzz kill-test format clean

all: build

deps:
	@bash tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@cd $(BUILD) && ./velmora

test: test-plain test-sanitize

test-plain: build
	@bash tools/with-display.sh ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-sanitize: deps
	@cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD_SAN) -j $(JOBS)
	@bash tools/with-display.sh ctest --test-dir $(BUILD_SAN) --output-on-failure -j $(JOBS)

demo: build
	@BUILD="$(abspath $(BUILD))" bash tools/demo.sh

bench: deps
	@bash bench/run.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(BUILD_SAN)
