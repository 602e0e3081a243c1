# Thin front over CMake. `make run` and `make test` install what is missing first.
BUILD      ?= build
BUILD_SAN  ?= build-sanitize
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
# make install: where the programs go (PREFIX) and, for packagers, the staging
# folder the whole tree is put under (DESTDIR).
PREFIX     ?= /usr/local
DESTDIR    ?=

.PHONY: all deps configure build install package run test test-plain test-sanitize demo bench fuzz kill-test format clean

all: build

deps:
	@bash tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX="$(PREFIX)" $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# A Debian package in $(BUILD): velmora_<version>_<arch>.deb.
package: build
	@cd $(BUILD) && cpack -G DEB

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

# Robustness checks: libFuzzer targets (clang) and apply/save killed at random moments.
BUILD_FUZZ   ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= diff base64 mod_file xml_misc path element_table xml_change ini
KILL_POINTS  ?= 50

fuzz:
	@VELMORA_FUZZ=1 bash tools/install-deps.sh
	@cmake -S . -B $(BUILD_FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
		-DVELMORA_FUZZ=ON -DVELMORA_BUILD_GUI=OFF $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD_FUZZ) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@bash tools/run-fuzz.sh $(BUILD_FUZZ) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

kill-test: build
	@cmake --build $(BUILD) -j $(JOBS) --target velmora-cli velmora-gamegen velmora-save-loop
	@KILL_POINTS=$(KILL_POINTS) bash tools/kill-test.sh $(BUILD)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(BUILD_SAN)
