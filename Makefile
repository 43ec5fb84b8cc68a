# Set-up commands for a fresh Debian 12 machine (run as root, or with sudo available).
# fonts-liberation gives "Arial", the form's font, the same metrics as on Windows.
# jackd2 runs the JACK server the MIDI output tests start for themselves.
# libdrumstick-dev writes the monitor's MIDI file export; python3-mido reads it
# back in the tests, a reader independent of the writer.
BUILD      ?= build
BUILD_TYPE ?= Release
JOBS       ?= $(shell nproc)
# dpkg-dev and file: the dependencies of the .deb computed from the program (make package).
PACKAGES   := build-essential cmake pkg-config qtbase5-dev qtbase5-dev-tools \
              libqt5serialport5-dev libqcustomplot-dev libbenchmark-dev \
              xvfb xauth fonts-dejavu-core fonts-liberation dpkg-dev file \
              librtmidi-dev libjack-jackd2-dev jackd2 \
              libdrumstick-dev python3-mido
# The validators of the package's desktop entry, AppStream file and contents (make package-check).
CHECK_PACKAGES := desktop-file-utils appstream lintian
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps check-deps configure build run demo test bench screenshot check-windows fuzz \
        package package-check clean

# install-missing(<packages>): apt-get installs those not installed yet.
define install-missing
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
	    | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing: $$missing"; \
	    $(SUDO) apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi
endef

deps:
	$(call install-missing,$(PACKAGES))

check-deps:
	$(call install-missing,$(CHECK_PACKAGES))

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/stompwright

demo: build
	QT_LOGGING_RULES="$${QT_LOGGING_RULES:-stompwright.link.debug=true}" $(BUILD)/stompwright-demo

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] || continue; \
	    echo "== $$(basename $$b)"; QT_QPA_PLATFORM=offscreen "$$b" || exit 1; done

screenshot: build
	BUILD=$(BUILD) tools/screenshot

# The Debian package $(BUILD)/stompwright_<version>_<arch>.deb.
package: build
	rm -f $(BUILD)/stompwright_*.deb
	cd $(BUILD) && cpack -G DEB

# Validates the package, installs it, starts the installed program and removes it again.
package-check: package check-deps
	packaging/linux/check-package $(BUILD)

# Syntax and type check of the Windows-only units with the MinGW cross compiler.
check-windows:
	tools/check-windows.sh

# libFuzzer runs over the stream framing and the controller replies (clang, ASan,
# UBSan), FUZZ_SECONDS=60 in all.
fuzz:
	tools/fuzz/run.sh $(or $(FUZZ_SECONDS),60)

clean:
	rm -rf $(BUILD)
