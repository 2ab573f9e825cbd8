# make run: install what is missing, build, start the program.
# make test: install what is missing, build and run every test, plainly (GCC) and with
# sanitizers (Clang), then check the format and run the static checks; every part runs and is
# reported, and the target fails if any failed.
# The builds are the presets of CMakePresets.json: plain, sanitize and release. In CI (CI set)
# a compiler warning fails the build.

.PHONY: deps build run test test-plain test-sanitize test-unit check clean

# make test installs once and then runs each part without installing again (DEPS=).
DEPS = deps

deps:
	@scripts/deps.sh

build: $(DEPS)
	cmake --preset plain
	cmake --build --preset plain

run: build
	./build/numbrella

test-plain: $(DEPS)
	cmake --preset plain
	cmake --build --preset plain
	ctest --preset plain

test-sanitize: $(DEPS)
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize

# The pure and file-system suites alone: seconds.
test-unit: $(DEPS)
	cmake --preset plain
	cmake --build --preset plain
	ctest --preset unit

# Every source in the format of .clang-format, and the program's code clean of the checks of
# .clang-tidy (the tests are held to it too, by hand: it takes as long again).
check: $(DEPS)
	cmake --preset plain
	git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format --dry-run --Werror
	@echo "clang-tidy over the program's sources (log: build/clang-tidy.log)"
	@run-clang-tidy -p build -quiet -j 2 '$(CURDIR)/(app|about|platform|rename|viewer)/' \
		> build/clang-tidy.log 2>&1 || { grep -v 'warnings generated' build/clang-tidy.log; exit 1; }

test: deps
	@plain=passed; sanitized=passed; checks=passed; \
	$(MAKE) --no-print-directory DEPS= test-plain || plain=FAILED; \
	$(MAKE) --no-print-directory DEPS= test-sanitize || sanitized=FAILED; \
	$(MAKE) --no-print-directory DEPS= check || checks=FAILED; \
	echo "make test: plain build $$plain, sanitized build $$sanitized, format and static checks $$checks"; \
	[ $$plain = passed ] && [ $$sanitized = passed ] && [ $$checks = passed ]

clean:
	rm -rf build build-sanitize build-release
