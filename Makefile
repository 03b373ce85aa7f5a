# The two commands a newcomer needs: `make run` and `make test`. Everything else builds on them.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
GENERATOR  := -G Ninja
DEMO_OUT   := $(BUILD)/demo
SCREENSHOT := $(BUILD)/demo-screenshot.png

.PHONY: all deps configure build demo run test test-asan bench clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	@bash scripts/build-demo.sh $(BUILD) $(DEMO_OUT)

run: demo
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/bin/kivoplay $(DEMO_OUT); \
	else \
	  $(BUILD)/bin/kivoplay --headless --frames 300 --screenshot $(SCREENSHOT) $(DEMO_OUT) && \
	  echo "screenshot: $(abspath $(SCREENSHOT))"; \
	fi

test: build
	ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure --timeout 300

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DKIVO_SANITIZE=ON -DKIVO_BUILD_BENCH=OFF

test-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) -j $(JOBS) --output-on-failure --timeout 600

bench: build
	@bash scripts/run-benchmarks.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
