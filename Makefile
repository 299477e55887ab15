# The front door: `make run` and `make test` install what is missing, build and go.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PROGRAM := $(BUILD_DIR)/src/windows/glimmerage

.PHONY: all deps configure build run test bench check-sanitize monkey check-clang mutants fuzz package install artwork screenshot clean

all: build

deps:
	@./scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) --parallel $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ "$$(uname)" = Linux ]; then \
		echo "There is no display to show Glimmerage on."; \
		echo "Run it on a virtual one instead:"; \
		echo "  xvfb-run -a -s '-screen 0 1280x1024x24' $(PROGRAM)"; \
		exit 1; \
	fi
	@$(PROGRAM)

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME= \
		ctest --output-on-failure --parallel $(JOBS)

# The speed of the whole-picture work; not part of `make test`.
bench: build
	@$(BUILD_DIR)/bench/glimmerage_bench $(BENCH_ARGS)

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer; any
# finding, a leak included, fails it.
SANITIZE_DIR ?= build-sanitize
SANITIZE_FLAGS := -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
SANITIZE_CONFIGURE := cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=Debug \
	-DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE_FLAGS)" >/dev/null
SANITIZE_ENV := QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME= \
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-suppressions.txt:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
check-sanitize: deps
	@$(SANITIZE_CONFIGURE)
	@cmake --build $(SANITIZE_DIR) --parallel $(JOBS)
	@cd $(SANITIZE_DIR) && $(SANITIZE_ENV) ctest --output-on-failure --parallel $(JOBS)

# The monkey: a random walk of MONKEY_ACTIONS actions through the windows for each seed,
# built with the same sanitizers, on the suite's screen of a common size so that a walk goes
# the same way on any machine. A failure names its seed and action; rerun it with
# GLIMMERAGE_MONKEY_SEED, GLIMMERAGE_MONKEY_ACTIONS and GLIMMERAGE_MONKEY_TRACE=1.
MONKEY_SEEDS ?= 1 2 3 4 5
MONKEY_ACTIONS ?= 5000
monkey: deps
	@$(SANITIZE_CONFIGURE)
	@cmake --build $(SANITIZE_DIR) --parallel $(JOBS) --target glimmerage_monkey
	@set -e; for seed in $(MONKEY_SEEDS); do \
		$(SANITIZE_ENV) QT_QPA_PLATFORM=offscreen:configfile=$(CURDIR)/tests/offscreen-screen.json \
			GLIMMERAGE_MONKEY_SEED=$$seed GLIMMERAGE_MONKEY_ACTIONS=$(MONKEY_ACTIONS) \
			$(SANITIZE_DIR)/tests/glimmerage_monkey --gtest_brief=1; \
	done

# The whole suite built with clang and the system's C++ library, every warning an error.
CLANG_DIR ?= build-clang
check-clang: deps
	@./scripts/install-deps clang
	@CC=clang CXX=clang++ cmake -S . -B $(CLANG_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS=-Werror >/dev/null
	@cmake --build $(CLANG_DIR) --parallel $(JOBS)
	@cd $(CLANG_DIR) && QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME= \
		ctest --output-on-failure --parallel $(JOBS)

# Each fault of tools/mutants/faults.tsv planted alone in a copy of the sources, the suite run
# against it: which faults no test notices, and which test alone notices some. About three and
# a half hours on two cores.
mutants: deps
	@python3 tools/mutants/run.py $(MUTANTS_ARGS)

# Each fuzzer for FUZZ_SECONDS, from the seed pictures and texts; crashes land in fuzz-findings/.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 600
FUZZERS := picture_load number_text file_dialog
fuzz:
	@# twice: the second pass adds the sanitizer runtime matching the clang the first installed
	@./scripts/install-deps fuzz
	@./scripts/install-deps fuzz
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DGLIMMERAGE_FUZZ=ON -DGLIMMERAGE_BUILD_TESTS=OFF \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(FUZZ_DIR) --parallel $(JOBS) --target $(addprefix fuzz_,$(FUZZERS))
	@rm -rf $(FUZZ_DIR)/seeds && ./scripts/make-fuzz-corpus $(FUZZ_DIR)/seeds
	@mkdir -p fuzz-findings
	@set -e; for name in $(FUZZERS); do \
		mkdir -p $(FUZZ_DIR)/corpus/$$name; \
		echo "fuzzing $$name for $(FUZZ_SECONDS) s"; \
		QT_QPA_PLATFORM=offscreen $(FUZZ_DIR)/fuzz/fuzz_$$name -max_total_time=$(FUZZ_SECONDS) \
			-artifact_prefix=fuzz-findings/$$name- -print_final_stats=1 \
			$(FUZZ_DIR)/corpus/$$name $(FUZZ_DIR)/seeds/$$name 2>&1 | grep -E '^(stat::|SUMMARY|==)' || true; \
		if ls fuzz-findings/$$name-* >/dev/null 2>&1; then echo "$$name found a crash"; exit 1; fi; \
	done

# A Debian package of the program, in build/.
package: build
	@cd $(BUILD_DIR) && cpack -G DEB

install: build
	@cmake --install $(BUILD_DIR)

# Remakes the About pictures and the icons in resources/.
artwork: build
	@QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tools/glimmerage_artwork resources

# Remakes docs/screenshot.png on a virtual display.
screenshot: build
	@xvfb-run -a -s "-screen 0 1280x1024x24" $(BUILD_DIR)/tools/glimmerage_screenshot docs/screenshot.png

clean:
	@rm -rf $(BUILD_DIR)
