# make run: install what is missing, build, start the program.
# make test: install what is missing, build and run every test, plainly and with sanitizers.
JOBS ?= 2

.PHONY: deps build run test test-plain test-sanitize clean

deps:
	@scripts/deps.sh

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j$(JOBS)

run: build
	./build/numbrella

test-plain: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j$(JOBS)
	cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

test-sanitize: deps
	cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNUMBRELLA_SANITIZE=ON
	cmake --build build-sanitize -j$(JOBS)
	cd build-sanitize && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j$(JOBS)

test: test-plain test-sanitize

clean:
	rm -rf build build-sanitize
