# The two commands of the README: `make run` and `make test`.
# Both install what is missing, configure and build first.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build program test run bench format format-check tidy install bundle bundle-check sanitize clean

all: build

deps:
	bash scripts/install-deps

# Warnings are errors: a build that warns does not pass.
configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSCORTAVIA_WERROR=ON

build: configure
	cmake --build $(BUILD) --parallel $(JOBS)

# The program folder: the executable and its settings file, as installed.
program: configure
	cmake --build $(BUILD) --parallel $(JOBS) --target scortavia

run: program
	cd $(BUILD)/program && ./scortavia

test: format-check build bundle-check
	cd $(BUILD) && ctest --output-on-failure --parallel $(JOBS)

bench: build
	$(BUILD)/bench/scortavia_bench
	$(BUILD)/bench/scortavia_bench_lists
	$(BUILD)/bench/scortavia_bench_photo
	$(BUILD)/bench/scortavia_bench_print
	$(BUILD)/bench/scortavia_bench_movements
	$(BUILD)/bench/scortavia_bench_summaries
	$(BUILD)/bench/scortavia_bench_export
	$(BUILD)/bench/scortavia_bench_import
	$(BUILD)/bench/scortavia_bench_backup
	$(BUILD)/bench/scortavia_bench_server
	$(BUILD)/bench/scortavia_bench_barcode
	$(BUILD)/bench/scortavia_bench_labels

SOURCES = $(shell find src tests bench -name '*.cpp' -o -name '*.h')

format:
	clang-format -i $(SOURCES)

# Every source file as clang-format would write it; the test command fails otherwise.
format-check: deps
	@clang-format --dry-run --Werror $(SOURCES)

# clang-tidy with the checks of .clang-tidy over the program's own sources (not the generated ones);
# any finding fails. Configuring writes the compile_commands.json it reads.
tidy: configure
	bash scripts/install-deps --tidy
	run-clang-tidy -p $(BUILD) -quiet -j $(JOBS) '^$(CURDIR)/src/.*\.cpp$$'

# Lays out a program folder elsewhere: make install PREFIX=/path/to/folder
PREFIX ?= $(CURDIR)/installed
install: program
	cmake --install $(BUILD) --prefix $(PREFIX)

# The portable program folder dist/Scortavia and its tarball, from a Release build of its own. Optimised
# as the tested build is (-O2): GCC 12 at -O3 warns falsely inside the standard library's strings.
BUNDLE_BUILD ?= build-bundle
bundle: deps
	cmake -S . -B $(BUNDLE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
	  -DSCORTAVIA_WERROR=ON -DSCORTAVIA_BUNDLE=ON \
	  -DSCORTAVIA_BUILD_TESTS=OFF -DSCORTAVIA_BUILD_BENCH=OFF
	rm -rf dist
	cmake --build $(BUNDLE_BUILD) --parallel $(JOBS) --target bundle scortavia_bundle_probe

# The tarball unpacked and started as a shop would, its libraries, start-up and update checked.
bundle-check: build bundle
	bash tests/bundle/check-bundle dist/Scortavia-*-linux-x86_64.tar.gz \
	  $(BUNDLE_BUILD)/libscortavia_bundle_probe.so $(BUILD)/program

# Every test built for debugging under the address and undefined-behaviour sanitizers; any report
# (memory error, leak, undefined behaviour) fails the test that met it.
SANITIZE_BUILD ?= build-sanitize
sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSCORTAVIA_SANITIZE=ON -DSCORTAVIA_BUILD_BENCH=OFF
	cmake --build $(SANITIZE_BUILD) --parallel $(JOBS)
	cd $(SANITIZE_BUILD) && \
	  ASAN_OPTIONS=detect_stack_use_after_return=1:strict_string_checks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure --parallel $(JOBS)

clean:
	rm -rf $(BUILD)
