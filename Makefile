# The front door: `make run` and `make test` install what is missing, build and go.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PROGRAM := $(BUILD_DIR)/src/glimmerage

.PHONY: all deps configure build run test package install artwork screenshot clean

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
