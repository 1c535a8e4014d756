# The two commands of the README, `make run` and `make test`, and `make package`;
# `make web` and `make web-run` for the browser edition.
.PHONY: all deps build run test package asan bench web web-run clean

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

# The browser edition in build-web/site/, and a local server for it.
web:
	@scripts/web-build

web-run: web
	@scripts/web-serve build-web/site

clean:
	rm -rf build build-asan build-bench build-web
