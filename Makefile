# Vorlisk: `make run` builds and starts the program on a sample catalogue,
# `make test` builds and runs every test headless.

BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all setup build run test bench clean

all: build

setup:
	@bash tools/setup.sh

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

# The program keeps its files beside itself; a sample catalogue is put there only where
# the files are absent, so a catalogue of your own is never overwritten.
run: build
	@for f in gameinv.txt games.txt; do \
		[ -e $(BUILD)/$$f ] || cp sample/$$f $(BUILD)/$$f; \
	done
	$(BUILD)/vorlisk

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD)
