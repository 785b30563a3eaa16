# Two commands for a fresh Debian machine:
#   make play   installs what is missing, builds, and starts the game
#   make test   installs what is missing, builds, and runs every test
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: play test build deps windows-check sanitize clean

deps:
	@./scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

play: build
	cd $(BUILD)/dist/GloomGrid && ./gloomgrid

test: build
	./scripts/run-tests.sh $(BUILD)

# The game's code against the real Windows headers and libraries (32-bit mingw-w64).
windows-check: deps
	./scripts/windows-check.sh

# The suite again under AddressSanitizer and ThreadSanitizer.
sanitize: deps
	./scripts/sanitize.sh

clean:
	rm -rf $(BUILD) build-windows build-asan build-tsan
