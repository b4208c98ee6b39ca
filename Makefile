# make demo: install what is missing, build, render the demo.
# make test: install what is missing, build every target and run every test.
JOBS ?= $(shell nproc)
CMAKE_GEN = -G Ninja

.PHONY: all deps build demo test test-release test-asan test-tsan test-fuzz-image install clean

all: build

deps:
	@bash tools/install-deps.sh

build/release/build.ninja: | deps
	cmake -S . -B build/release $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release

build/asan/build.ninja: | deps
	cmake -S . -B build/asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug \
	  -DQV_SANITIZE=address,undefined -DQV_BENCHMARKS=OFF

build/tsan/build.ninja: | deps
	cmake -S . -B build/tsan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQV_SANITIZE=thread -DQV_BENCHMARKS=OFF

build: deps build/release/build.ninja
	cmake --build build/release -j $(JOBS)

demo: build
	bash tools/demo.sh

test: test-release test-asan test-tsan test-fuzz-image

test-release: build
	ctest --test-dir build/release --output-on-failure -j $(JOBS)

test-asan: deps build/asan/build.ninja
	cmake --build build/asan -j $(JOBS)
	ctest --test-dir build/asan --output-on-failure -j $(JOBS) -LE benchmark

test-tsan: deps build/tsan/build.ninja
	cmake --build build/tsan -j $(JOBS)
	ctest --test-dir build/tsan --output-on-failure -j $(JOBS) -L threads

# A short libFuzzer run of the image loader (clang, address and undefined sanitizers),
# seeded with the panel images as they are stored.
build/fuzz/build.ninja: | deps
	cmake -S tests/fuzz -B build/fuzz $(CMAKE_GEN) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo

test-fuzz-image: deps build/fuzz/build.ninja
	cmake --build build/fuzz -j $(JOBS)
	mkdir -p build/fuzz/corpus build/fuzz/seeds
	cp resources/127_splash.zvb resources/128_background.zvb resources/134_mode_switch.zvb build/fuzz/seeds/
	build/fuzz/fuzz-image-loader -max_total_time=15 -max_len=32768 -rss_limit_mb=1024 \
	  -malloc_limit_mb=256 -print_final_stats=1 build/fuzz/corpus build/fuzz/seeds

# Copies the plug-in where Linux hosts look for VST 2 plug-ins.
install: build
	mkdir -p $(HOME)/.vst
	cp build/release/bin/Quorvane.so $(HOME)/.vst/

clean:
	rm -rf build out
