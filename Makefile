# For a fresh Debian machine:
#   make        installs what is missing and builds the game folder
#   make play   the same, then starts the game
#   make test   installs what is missing, builds everything, runs every test
#   make windows-e2e  the Windows program played under Wine (installs Wine)
#   make conformance  the host's interface tests on the host and, as a Windows program, under Wine
#   make package      the Debian package build/gloomgrid_<version>_amd64.deb
#   make bench        the benchmarks and their summary line
#   make soak         100 000 headless frames, resident memory flat
#   make fuzz         the file loaders under libFuzzer (FUZZ_SECONDS per target)
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=
GAME_FOLDER = $(BUILD)/dist/GloomGrid

.PHONY: all play test build deps deps-windows windows-check windows-e2e conformance sanitize soak fuzz package bench clean

# The game folder only: the binary, its pictures and sounds, and setup.ini.
all: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target gloomgrid

play: all
	cd $(GAME_FOLDER) && ./gloomgrid

deps:
	@./scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

# Everything: the game, the tests and the benchmarks.
build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	./scripts/run-tests.sh $(BUILD)

# The game's code against the real Windows headers and libraries (32-bit mingw-w64).
windows-check: deps
	./scripts/windows-check.sh

# The Windows program played end to end under Wine in a 16-bit Xvfb screen,
# beside the Linux build (scripts/windows-e2e.sh). Installs Wine on first use.
windows-e2e: deps deps-windows $(BUILD)/build.ninja
	BUILD=$(BUILD) ./scripts/windows-e2e.sh

# The host's interface tests built twice from one source, run on the host and,
# as a 32-bit Windows program, under Wine (scripts/conformance.sh).
conformance: deps deps-windows $(BUILD)/build.ninja
	BUILD=$(BUILD) ./scripts/conformance.sh

deps-windows:
	@./scripts/install-deps.sh windows

# The suite again under AddressSanitizer and ThreadSanitizer.
sanitize: deps
	./scripts/sanitize.sh

# The Debian package (packaging/package.cmake); install it with
# sudo apt install ./build/gloomgrid_*.deb
package: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target gloomgrid_deb

# The benchmarks built and run: build/bench.json and a summary line (bench/README.md).
bench: deps $(BUILD)/build.ninja
	./scripts/bench.sh $(BUILD)

# The headless soak at full length: 100 000 frames of play, popups and level
# changes, resident memory flat.
soak: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target faults_soak_test gloomgrid
	GLOOMGRID_SOAK_FRAMES=100000 ctest --test-dir $(BUILD) -R '^Soak\.' --output-on-failure --timeout 1800

# The loaders under libFuzzer (clang, build-fuzz): each target for
# FUZZ_SECONDS seconds, then every seed and kept regression replayed.
# CI's brief run: make fuzz FUZZ_SECONDS=10
FUZZ_SECONDS ?= 60
fuzz: deps
	FUZZ_SECONDS=$(FUZZ_SECONDS) ./scripts/fuzz.sh

clean:
	rm -rf $(BUILD) build-windows build-conformance build-asan build-tsan build-fuzz
