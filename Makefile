# Thin wrapper over CMake. `make test` works on a fresh Debian machine: it
# installs what it needs first.
JOBS ?= $(shell nproc)

.PHONY: all deps build build-win build-native test test-native test-win screens demo bench clean

all: build

deps:
	scripts/install-deps

# The Windows build comes first: native tests read the built program.
build-win: deps
	cmake --preset win >/dev/null
	cmake --build --preset win -j $(JOBS)

build-native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native -j $(JOBS)

build: build-win build-native

test-native: build
	ctest --preset native -j $(JOBS)

test-win: build
	ctest --preset win

# Screenshots for people: build/screens/frame.png, msgbox.png, progress.png, settings.png, shot.png.
screens: build
	cmake --build --preset win --target screens

test: test-native test-win screens

demo: build
	scripts/demo

# Throughput of the socket downloader against curl, optimised and without
# sanitizers; the last line printed is ratio=<DownloadFile / curl>.
bench: deps
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DCORVANE_SANITIZE=OFF >/dev/null
	cmake --build build/bench --target net_bench -j $(JOBS)
	build/bench/bin/net_bench

clean:
	rm -rf build/native build/win build/bench
