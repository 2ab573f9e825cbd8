# make run: install what is missing, build, start the program.
# make test: install what is missing, build and run every test, plainly and with sanitizers;
# both halves run and are reported, and the target fails if either failed.
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

test: deps
	@plain=passed; sanitized=passed; \
	$(MAKE) --no-print-directory test-plain || plain=FAILED; \
	$(MAKE) --no-print-directory test-sanitize || sanitized=FAILED; \
	echo "make test: plain build $$plain, sanitized build $$sanitized"; \
	[ $$plain = passed ] && [ $$sanitized = passed ]

clean:
	rm -rf build build-sanitize
