# Set-up commands for a fresh Debian 12 machine (run as root, or with sudo available).
# fonts-liberation gives "Arial", the form's font, the same metrics as on Windows.
# jackd2 runs the JACK server the MIDI output tests start for themselves.
BUILD      ?= build
BUILD_TYPE ?= Release
JOBS       ?= $(shell nproc)
PACKAGES   := build-essential cmake pkg-config qtbase5-dev qtbase5-dev-tools \
              libqt5serialport5-dev libqcustomplot-dev libbenchmark-dev \
              xvfb xauth fonts-dejavu-core fonts-liberation \
              librtmidi-dev libjack-jackd2-dev jackd2
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build run demo test bench screenshot check-windows fuzz clean

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
	    | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing: $$missing"; \
	    $(SUDO) apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

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

# Syntax and type check of the Windows-only units with the MinGW cross compiler.
check-windows:
	tools/check-windows.sh

# libFuzzer runs over the stream framing and the controller replies (clang, ASan,
# UBSan), FUZZ_SECONDS=60 in all.
fuzz:
	tools/fuzz/run.sh $(or $(FUZZ_SECONDS),60)

clean:
	rm -rf $(BUILD)
