# Set-up, build and tests in two commands: `make run` and `make test`.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
JOBS       ?= $(shell nproc)
export QT_QPA_PLATFORM ?= offscreen

# The manuals of libtasn1-doc (PDF) and libdjvulibre-dev (DjVu) seed the pdf and djvu fuzz harnesses.
PACKAGES = cmake ninja-build g++ pkg-config qt6-base-dev qt6-translations-l10n libpng-dev zlib1g-dev \
           libjpeg62-turbo-dev googletest libgtest-dev libbenchmark-dev \
           libpoppler-qt6-dev libdjvulibre-dev djvulibre-bin \
           fonts-liberation2 fonts-wine fonts-dejavu-core xvfb xauth \
           x11-xkb-utils xdotool clang libclang-rt-14-dev libx11-dev libxtst-dev \
           libtasn1-doc openbox icewm x11-utils weston xwayland procps

.PHONY: deps configure build test test-sanitize run run-viewer bench fuzz clean

# Installs the Debian packages that are missing (as root), or says how to.
deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages. Run:"; echo "  sudo apt-get install -y" $$missing; exit 1; \
	  fi; \
	fi

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure --timeout 300 -j $(JOBS)

# The same tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
# The leak checker's own tracking of __tls_get_addr misreads the dynamic TLS of
# dlopen'ed libraries (the plug-ins) on this glibc and crashes at exit; without
# it, TLS is still scanned through the thread descriptors.
test-sanitize: deps
	cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLON_SANITIZE=ON
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure --timeout 300 -j $(JOBS)

# The benchmarks, in a Release tree of their own unless told (BENCH_BUILD=build
# BENCH_TYPE=RelWithDebInfo runs them in the tests' build, to compare the two).
# They run on an X server of their own (Xvfb) where there is one, as a user's
# screen shows their pictures, else offscreen; each says which.
BENCH_BUILD ?= build-release
BENCH_TYPE  ?= Release
BENCH_X     := $(shell command -v Xvfb >/dev/null && echo bench/on-xvfb)

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BENCH_TYPE)
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target input_bench viewer_bench trainer_bench
	@for b in $(BENCH_BUILD)/bench/*_bench; do [ -x "$$b" ] && $(BENCH_X) "$$b"; done; true

# The libFuzzer harnesses, built with clang in their own tree and run all at
# once for FUZZ_SECONDS each; FUZZ_FLAGS passes more libFuzzer flags.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
export FUZZ_FLAGS

fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DQUILLON_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	fuzz/run $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The trainer on its sample course, started from its own tree. With a display
# it opens its window there; without one it runs on the offscreen platform and
# stays up until stopped (Ctrl+C). A platform chosen in the environment wins.
RUN_PLATFORM = $(if $(filter file,$(origin QT_QPA_PLATFORM)),$(if $(DISPLAY)$(WAYLAND_DISPLAY),,offscreen),$(QT_QPA_PLATFORM))

# The first line says where the program will run and how to end it, before the build's own output.
RUN_NOTICE = $(if $(filter offscreen,$(RUN_PLATFORM)),No display: Quillon runs in $(BUILD)/Quillon on Qt's offscreen platform$(comma) where nothing can be seen; it stays up until you press Ctrl+C.,Quillon opens full screen on this display from $(BUILD)/Quillon; the close picture at its top right (or Ctrl+C here) ends it.)
comma := ,

run:
	@echo "$(RUN_NOTICE)"
	@$(MAKE) --no-print-directory build
	cd $(BUILD)/Quillon && $(if $(RUN_PLATFORM),QT_QPA_PLATFORM=$(RUN_PLATFORM),env -u QT_QPA_PLATFORM) ./Quillon Go.cml

# The viewer on its sample PDF, started from its own tree, on the same platform rule.
run-viewer: build
	cd $(BUILD)/Folioscope && $(if $(RUN_PLATFORM),QT_QPA_PLATFORM=$(RUN_PLATFORM),env -u QT_QPA_PLATFORM) ./Folioscope sample.pdf

clean:
	rm -rf $(BUILD) $(SAN_BUILD) build-release $(FUZZ_BUILD)
