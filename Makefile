# Thin wrapper over CMake. `make test` works on a fresh Debian machine: it
# installs what it needs first.
JOBS ?= $(shell nproc)

.PHONY: all deps build build-win build-native test test-native test-win screens demo tour soak release bench fuzz clean

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

# The client against the demo portal with the tour beside it (logins, tabs,
# the tool menu, the boss key; screenshots in build/screens/). DEMO_ARGS=
# leaves the client to you; `make tour` starts from a bare prefix.
DEMO_ARGS ?= --tour
demo: build
	scripts/demo $(DEMO_ARGS)

tour: build
	scripts/demo --tour --fresh

# The client under Wine for SOAK_CYCLES cycles of an evening's use (logins,
# tabs, screenshots, boss and sound keys, dialogs, closes) against loopback
# services that fail now and then, watched from outside. One line:
# "soak: cycles N, handles A->B, gdi A->B, user A->B, windows A->B, threads
# A->B, private MiB A->B"; the exit status is 1 when a count grew by more than
# 8 (private bytes 4 MiB) or a step failed. `make test` runs five cycles.
SOAK_CYCLES ?= 18
soak: build-win
	@export CORVANE_WINE_DIR=$(CURDIR)/build/win/wine; scripts/wine-run --start; \
	scripts/wine-run build/win/bin/soak.exe $(SOAK_CYCLES) 2>build/win/soak-wine.log; status=$$?; \
	scripts/wine-run --stop; exit $$status

# The operator's release (scripts/release, with the Windows build's host
# tools): each profile relabelled, its program signed with Authenticode and
# checked, and its signed update description written, in build/release/NAME/. RELEASE_KEY, RELEASE_CERT,
# RELEASE_CERT_KEY and RELEASE_URL are described in the script.
PROFILES ?= $(wildcard res/builds/*.build)
release: build-win
	scripts/release $(PROFILES)

# The socket downloader against curl and the file digest against md5sum,
# optimised and without sanitizers; then, under Wine from an optimised Windows
# build (build/bench-win) on a 1920x1200 Xvfb, the client's start to its login
# face against a bare browser host, and the main frame's repaint at 1920x1080
# against one BitBlt. One line per benchmark:
# "bench NAME: ours X s, baseline Y s, ratio=R (target T)"; the exit status is
# 1 when any run fails or any ratio misses its target. Wine's own chatter goes
# to build/bench-win/wine.log. Always a private Xvfb, even on a desktop: the
# figures do not depend on the screen one happens to have.
BENCH_WINE = DISPLAY= CORVANE_WINE_DIR=$(CURDIR)/build/bench-win/wine CORVANE_XVFB_SCREEN=1920x1200x24
bench: deps
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DCORVANE_SANITIZE=OFF >/dev/null
	cmake --build build/bench --target net_bench -j $(JOBS)
	cmake -S . -B build/bench-win --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build build/bench-win --target startup_bench repaint_bench_labelled -j $(JOBS)
	@status=0; build/bench/bin/net_bench || status=1; \
	$(BENCH_WINE) scripts/wine-run --start; \
	$(BENCH_WINE) scripts/wine-run build/bench-win/bin/startup_bench.exe 2>build/bench-win/wine.log || status=1; \
	$(BENCH_WINE) scripts/wine-run build/bench-win/bin/repaint_bench.exe 2>>build/bench-win/wine.log || status=1; \
	$(BENCH_WINE) scripts/wine-run --stop; exit $$status

# Each fuzz target for FUZZ_SECONDS seconds under clang's libFuzzer; one line
# per target: "fuzz NAME: N runs, K crashes". (`make test` only replays the
# seed corpora, in the native tests.)
FUZZ_SECONDS ?= 30
fuzz: deps
	cmake -S . -B build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_FUZZ=ON >/dev/null
	cmake --build build/fuzz -j $(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz

clean:
	rm -rf build/native build/win build/bench build/bench-win build/fuzz
