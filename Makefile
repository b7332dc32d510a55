# The two commands of the README: `make run` and `make test`.
# Both install what is missing, configure and build first.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build program test run bench format clean

all: build

deps:
	bash scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) --parallel $(JOBS)

# The program folder: the executable and its settings file, as installed.
program: configure
	cmake --build $(BUILD) --parallel $(JOBS) --target scortavia

run: program
	cd $(BUILD)/program && ./scortavia

test: build
	cd $(BUILD) && ctest --output-on-failure --parallel $(JOBS)

bench: build
	$(BUILD)/bench/scortavia_bench
	$(BUILD)/bench/scortavia_bench_lists

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
