# make run: install what is missing, build, start the program.
# make test: install what is missing, build and run every test, plainly (GCC) and with
# sanitizers (Clang); both halves run and are reported, and the target fails if either failed.
# The builds are the presets of CMakePresets.json: plain, sanitize and release. In CI (CI set)
# a compiler warning fails the build.

.PHONY: deps build run test test-plain test-sanitize test-unit clean

deps:
	@scripts/deps.sh

build: deps
	cmake --preset plain
	cmake --build --preset plain

run: build
	./build/numbrella

test-plain: deps
	cmake --preset plain
	cmake --build --preset plain
	ctest --preset plain

test-sanitize: deps
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize

# The pure and file-system suites alone: seconds.
test-unit: deps
	cmake --preset plain
	cmake --build --preset plain
	ctest --preset unit

test: deps
	@plain=passed; sanitized=passed; \
	$(MAKE) --no-print-directory test-plain || plain=FAILED; \
	$(MAKE) --no-print-directory test-sanitize || sanitized=FAILED; \
	echo "make test: plain build $$plain, sanitized build $$sanitized"; \
	[ $$plain = passed ] && [ $$sanitized = passed ]

clean:
	rm -rf build build-sanitize build-release
