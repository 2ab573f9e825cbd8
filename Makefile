# make run: install what building and starting needs, build the program, start it.
# make test: install what the tests need too, build and run every test, plainly (GCC) and with
# sanitizers (Clang), then check the format and run the static checks; every part runs and is
# reported, and the target fails if any failed.
# The builds are the presets of CMakePresets.json: plain, sanitize and release. In CI (CI set)
# a compiler warning fails the build.

.PHONY: deps deps-run build run test test-plain test-sanitize test-unit check clean
SHELL = /bin/bash

# make test installs once and then runs each part without installing again (DEPS=).
DEPS = deps

deps:
	@scripts/deps.sh test

deps-run:
	@scripts/deps.sh run

# The program alone, without the tests and benchmarks.
build: deps-run
	@echo "make: configuring and building the program"
	cmake --preset plain
	cmake --build --preset plain --target numbrella

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
# The program's folders, whose sources clang-tidy checks.
PROGRAM_DIRS = app core about platform rename viewer

check: $(DEPS)
	cmake --preset plain
	@echo "make: checking the format of $$(git ls-files '*.cpp' '*.h' '*.c' | wc -l) files"
	git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format --dry-run --Werror
	@set -o pipefail; dirs='$(PROGRAM_DIRS)'; \
	echo "make: checking $$(git ls-files $(addsuffix /*.cpp,$(PROGRAM_DIRS)) | wc -l) files with clang-tidy (log: build/clang-tidy.log)"; \
	run-clang-tidy -p build -quiet -j 2 "$(CURDIR)/($${dirs// /|})/" 2>&1 | tee build/clang-tidy.log \
		| sed -nu 's|^.*clang-tidy[^ ]* .* $(CURDIR)/\([^ ]*\.cpp\)$$|  \1|p' \
		|| { grep -v 'warnings generated' build/clang-tidy.log; exit 1; }

test: deps
	@plain=passed; sanitized=passed; checks=passed; \
	$(MAKE) --no-print-directory DEPS= test-plain || plain=FAILED; \
	$(MAKE) --no-print-directory DEPS= test-sanitize || sanitized=FAILED; \
	$(MAKE) --no-print-directory DEPS= check || checks=FAILED; \
	echo "make test: plain build $$plain, sanitized build $$sanitized, format and static checks $$checks"; \
	[ $$plain = passed ] && [ $$sanitized = passed ] && [ $$checks = passed ]

clean:
	rm -rf build build-sanitize build-release
