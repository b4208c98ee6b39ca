# make demo: install what the Linux build and the demo need, build, render the demo.
# make test: install the rest, build every target and run every test.
JOBS ?= $(shell nproc)
CMAKE_GEN = -G Ninja

.PHONY: all deps deps-demo deps-hosts build build-windows dist demo test test-release test-asan test-tsan test-fuzz test-fuzz-image test-windows test-hosts install uninstall clean

all: build

# What the Linux build and the demo need; deps adds what the tests and the Windows builds need.
deps-demo:
	@bash tools/install-deps.sh demo

deps:
	@bash tools/install-deps.sh test

build/release/build.ninja: | deps-demo
	cmake -S . -B build/release $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release

build/asan/build.ninja: | deps
	cmake -S . -B build/asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug \
	  -DQV_SANITIZE=address,undefined -DQV_BENCHMARKS=OFF

build/tsan/build.ninja: | deps
	cmake -S . -B build/tsan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQV_SANITIZE=thread -DQV_BENCHMARKS=OFF

build: deps-demo build/release/build.ninja
	cmake --build build/release -j $(JOBS)

DEMO_TARGETS = Quorvane quorvane-render quorvane-demo-input quorvane-contact-sheet
demo: deps-demo build/release/build.ninja
	cmake --build build/release -j $(JOBS) --target $(DEMO_TARGETS)
	bash tools/demo.sh

test: test-release test-asan test-tsan test-fuzz test-windows

test-release: deps build
	xvfb-run -a ctest --test-dir build/release --output-on-failure -j $(JOBS)
	bash tools/check-skipped-tests.sh build/release

test-asan: deps build/asan/build.ninja
	cmake --build build/asan -j $(JOBS)
	xvfb-run -a ctest --test-dir build/asan --output-on-failure -j $(JOBS) -LE benchmark
	bash tools/check-skipped-tests.sh build/asan

test-tsan: deps build/tsan/build.ninja
	cmake --build build/tsan -j $(JOBS)
	xvfb-run -a ctest --test-dir build/tsan --output-on-failure -j $(JOBS) -L threads
	bash tools/check-skipped-tests.sh build/tsan

# Quorvane.vst3 in Ardour's GUI under Xvfb: the panel in its window, a knob drag recorded
# as Touch automation; then Quorvane.clap in Qtractor's, a knob drag saved with the
# session. The screenshots stay in build/release/test-hosts (Qtractor's in qtractor/).
deps-hosts:
	@bash tools/install-deps.sh hosts

test-hosts: deps-hosts build/release/build.ninja
	cmake --build build/release -j $(JOBS) --target QuorvaneVst3 QuorvaneClap Quorvane quorvane-render
	bash tests/vst3/ardour_gui_test.sh build/release/bin build/release/test-hosts || [ $$? -eq 77 ]
	bash tests/clap/qtractor_gui_test.sh build/release/bin build/release/test-hosts/qtractor || [ $$? -eq 77 ]

# Each fuzzer runs for FUZZ_SECONDS under AddressSanitizer and UndefinedBehaviorSanitizer.
FUZZ_SECONDS ?= 20
build/fuzz/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B build/fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQV_SANITIZE=address,undefined -DQV_FUZZERS=ON -DQV_BENCHMARKS=OFF -DQV_WERROR=OFF

test-fuzz: deps build/fuzz/build.ninja
	cmake --build build/fuzz -j $(JOBS) --target fuzzers
	bash tools/run-fuzzers.sh build/fuzz/bin $(FUZZ_SECONDS)

# The image loader's fuzzer alone for 15 s, seeded with the panel images as stored
# (test-fuzz runs it with the others).
test-fuzz-image: deps build/fuzz/build.ninja
	cmake --build build/fuzz -j $(JOBS) --target image_loader_fuzzer
	mkdir -p build/fuzz/fuzz-corpus/image_loader_fuzzer
	build/fuzz/bin/image_loader_fuzzer -max_total_time=15 -print_final_stats=1 \
	  build/fuzz/fuzz-corpus/image_loader_fuzzer tests/fuzz/seeds/image_loader_fuzzer

# The Windows builds: Quorvane.dll and its tests for 32-bit (x86) and 64-bit (x64) hosts,
# cross-built with mingw-w64 and run under Wine; the rendered output must equal the Linux
# build's bit for bit. On a machine that cannot run 32-bit programs, without 32-bit Wine
# or with QV_WINE32=off, the 32-bit build is only built and checked, its programs skipped.
WINDOWS_TREES = build/windows build/windows-x64
build/windows/build.ninja: TOOLCHAIN = i686-w64-mingw32
build/windows-x64/build.ninja: TOOLCHAIN = x86_64-w64-mingw32
$(WINDOWS_TREES:%=%/build.ninja): | deps
	cmake -S . -B $(@D) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-$(TOOLCHAIN).cmake \
	  -DQV_BENCHMARKS=OFF -DQV_NATIVE_BUILD_DIR=$(CURDIR)/build/release

build-windows: deps $(WINDOWS_TREES:%=%/build.ninja)
	for tree in $(WINDOWS_TREES); do cmake --build $$tree -j $(JOBS) || exit 1; done

test-windows: build build-windows
	bash tools/test-windows.sh $(JOBS) $(WINDOWS_TREES)

# Ready to copy: dist/linux-x86_64, dist/windows-x86 and dist/windows-x64, each with a
# sample Quorvane.ini and a note on where the files go.
dist: build build-windows
	bash tools/make-dist.sh build/release build/windows build/windows-x64 dist

# The plug-ins where Linux hosts look for VST 2, LV2, VST3 and CLAP plug-ins,
# quorvane-render and its call monitor under PREFIX. With a PREFIX of your own the
# plug-ins go to PREFIX/lib/vst, lv2, vst3 and clap; VSTDIR, LV2DIR, VST3DIR and CLAPDIR
# say otherwise.
# make uninstall (with the same PREFIX) removes exactly that.
PREFIX ?= $(HOME)/.local
VSTDIR ?= $(if $(filter file,$(origin PREFIX)),$(HOME)/.vst,$(PREFIX)/lib/vst)
LV2DIR ?= $(if $(filter file,$(origin PREFIX)),$(HOME)/.lv2,$(PREFIX)/lib/lv2)
VST3DIR ?= $(if $(filter file,$(origin PREFIX)),$(HOME)/.vst3,$(PREFIX)/lib/vst3)
CLAPDIR ?= $(if $(filter file,$(origin PREFIX)),$(HOME)/.clap,$(PREFIX)/lib/clap)
install: build
	bash tools/install.sh install build/release/bin "$(PREFIX)" "$(VSTDIR)" "$(LV2DIR)" "$(VST3DIR)" "$(CLAPDIR)"

uninstall:
	bash tools/install.sh uninstall "$(PREFIX)"

clean:
	rm -rf build out dist
