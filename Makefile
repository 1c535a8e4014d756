# The two commands of the README, `make run` and `make test`, and `make package`.
.PHONY: all deps build run test package asan bench clean

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

# The Debian package, build/teravine_<version>_<arch>.deb.
package: build
	@cmake --build --preset default --target package

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
