# Vorlisk: `make run` builds and starts the program on a sample catalogue,
# `make test` builds and runs every test headless.

BUILD ?= build
WINDOWS_BUILD ?= build-windows
WINDOWS_PROGRAM_BUILD ?= build-windows-program
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 20
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local
# The user's data folder, where the program keeps its files: $XDG_DATA_HOME/vorlisk when
# XDG_DATA_HOME is an absolute path, else ~/.local/share/vorlisk.
DATA := $(if $(filter /%,$(XDG_DATA_HOME)),$(XDG_DATA_HOME),$(HOME)/.local/share)/vorlisk
# The files of a user's own in a program folder.
DATA_FILES := gameinv.txt emupath.txt games.txt translate.txt genre.txt

.PHONY: all setup configure build build-all run test test-windows windows windows-package \
	test-windows-program test-sanitize fuzz bench screenshots install package clean

all: build

setup:
	@bash tools/setup.sh

# ccache, where installed, keeps rebuilds and other checkouts of the tree quick.
CCACHE := $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
	-DCMAKE_C_COMPILER_LAUNCHER=ccache)

configure: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CCACHE)

# The program, its helper, icons and manual page: all that `make run`, `make install` and `make package`
# need. The tests and benchmarks are built by the targets that run them.
build: configure
	cmake --build $(BUILD) -j $(JOBS) --target installed_files

build-all: configure
	cmake --build $(BUILD) -j $(JOBS)

# The program keeps its files in the user's data folder; the sample catalogue is put there
# only where the files are absent, so a catalogue of your own is never overwritten. Files
# that an older `make run` kept in $(BUILD)/ move there first.
run: build
	$(move-data-out)
	@mkdir -p "$(DATA)"
	@for f in gameinv.txt games.txt; do \
		[ -e "$(DATA)/$$f" ] || cp sample/$$f "$(DATA)/$$f"; \
	done
	$(BUILD)/vorlisk

test: build-all
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-windows

# The toolkit-free core and its tests cross-compiled for Windows with MinGW-w64 and run under
# Wine, headless. tools/run-under-wine.sh runs them in the build folder's own Wine prefix
# ($(WINDOWS_BUILD)/wineprefix, WINEDEBUG=-all, no Mono or Gecko prompts). Built without
# optimisation or debug information: that compiles several times faster. The decoders that
# reading CHD images needs are built for Windows from Debian's source once per machine
# (tools/build-decoders-windows.sh, into ~/.cache/vorlisk/) and found through pkg-config.
test-windows:
	@VORLISK_WINDOWS=1 bash tools/setup.sh
	libs=$$(bash tools/build-decoders-windows.sh) && \
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
		-DVORLISK_WINDOWS_LIBS="$$libs" -DVORLISK_CORE_ONLY=ON -DCMAKE_BUILD_TYPE=Debug \
		-DCMAKE_CXX_FLAGS_DEBUG=-O0 -DCMAKE_C_FLAGS_DEBUG=-O0
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	cd $(WINDOWS_BUILD) && ctest --output-on-failure

# Vorlisk.exe: the whole program for Windows, statically linked against Qt built for Windows
# from Debian's own source (tools/build-qt-windows.sh builds it once per machine into
# ~/.cache/vorlisk/, which takes about 40 minutes on 2 cores, and reuses it afterwards).
windows:
	@VORLISK_WINDOWS=1 bash tools/setup.sh
	libs=$$(bash tools/build-decoders-windows.sh) && qt=$$(bash tools/build-qt-windows.sh) && \
	"$$qt/bin/qt-cmake" -S . -B $(WINDOWS_PROGRAM_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DQT_CHAINLOAD_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake -DVORLISK_WINDOWS_LIBS="$$libs" \
		-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache >/dev/null
	cmake --build $(WINDOWS_PROGRAM_BUILD) -j $(JOBS) --target vorlisk

# The portable zip and the installer, in $(WINDOWS_PROGRAM_BUILD)/.
windows-package: windows
	cmake --build $(WINDOWS_PROGRAM_BUILD) --target windows-package

# The window tests built for Windows and run under Wine, Vorlisk.exe itself under Wine on a
# real X display, and its installer; the core's tests under Wine are `make test-windows`'s.
# Not part of `make test`, which stays quick.
test-windows-program: windows
	cmake --build $(WINDOWS_PROGRAM_BUILD) -j $(JOBS)
	cd $(WINDOWS_PROGRAM_BUILD) && ctest --output-on-failure

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer in a build folder
# of its own, and run: any finding (a leak too) fails its test; the program itself too, which
# the test of the installed tree and the test of keys on a real display start. Not part of
# `make test`.
# The check of virtual calls is left out: it probes memory through a pipe, which fails in the
# tests that use up every file descriptor on purpose, and it then reports calls that are fine.
SANITIZE_FLAGS = -fsanitize=address,undefined -fno-sanitize=vptr -fno-sanitize-recover=all \
	-fno-omit-frame-pointer
test-sanitize: setup
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)"
	cmake --build $(SANITIZE_BUILD) -j $(JOBS) --target core_tests window_tests installed_files
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# Every fuzz target of fuzz/ for FUZZ_SECONDS seconds each, built with clang's libFuzzer and
# both sanitizers, starting from the seeds in fuzz/corpus/. What the fuzzer finds stays in
# $(FUZZ_BUILD): its corpus, and any input that broke something. Not part of `make test`.
fuzz:
	@VORLISK_FUZZ=1 bash tools/setup.sh
	cmake -S . -B $(FUZZ_BUILD) -DVORLISK_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_COMPILER=clang++ \
		-DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	bash tools/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build-all
	@for b in $(BUILD)/bench_*; do echo "== $$b"; $$b; done

# The README's pictures, rendered from the real windows on the sample catalogue.
screenshots: configure
	cmake --build $(BUILD) -j $(JOBS) --target window_tests
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ./window_tests \
		--gtest_filter='*RendersBothLayouts*:*ASlowImportAddsWhatAFastOneAdds*'
	mkdir -p docs
	cp $(BUILD)/layout-narrow.png docs/screenshot-narrow.png
	cp $(BUILD)/layout-wide.png docs/screenshot-wide.png
	cp $(BUILD)/progress-import.png docs/screenshot-progress.png

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package in $(BUILD)/, such as $(BUILD)/vorlisk_1.0_amd64.deb.
package: build
	cd $(BUILD) && cpack -G DEB

# A catalogue still kept in $(BUILD)/ moves to the data folder before $(BUILD)/ goes; one that
# cannot move (the data folder has its own, or $(BUILD)/ is a portable folder) keeps it.
clean:
	$(move-data-out)
	@kept=$$(cd $(BUILD) 2>/dev/null && ls $(DATA_FILES) portable.txt 2>/dev/null || true); \
	if [ -n "$$kept" ]; then \
		echo "$(BUILD)/ holds files of your own, so it stays:" $$kept; exit 1; \
	fi
	rm -rf $(BUILD)

# Moves the files of a user's own from $(BUILD)/ into the data folder where it has none.
define move-data-out
	@[ -e $(BUILD)/portable.txt ] || for f in $(DATA_FILES); do \
		if [ -e $(BUILD)/$$f ] && [ ! -e "$(DATA)/$$f" ]; then \
			mkdir -p "$(DATA)" && mv $(BUILD)/$$f "$(DATA)/$$f" && \
			echo "Moved $(BUILD)/$$f to $(DATA)/"; \
		fi; \
	done
endef
