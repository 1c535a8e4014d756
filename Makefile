# The two commands of the README: `make run` and `make test`.
.PHONY: all deps build run test asan bench clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default

run: build
	@if [ -x build/bin/teravine ]; then ./build/bin/teravine; else ./build/bin/teravine-cli --help; fi

test: build
	ctest --preset default

asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	ctest --preset asan

bench: deps
	@cmake --preset bench >/dev/null
	@cmake --build --preset bench
	./build-bench/bin/teravine-bench

clean:
	rm -rf build build-asan build-bench
