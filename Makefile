# Front door: `make run` builds and starts the game, `make test` installs what is
# missing, builds with the sanitizers and runs the whole suite, its test programs side
# by side (each has its own X server, bus and directories); `make bench` builds
# the drawing benchmarks and the whole-program measurements in Release and runs them
# on a private Xvfb.
# `make fuzz` builds the fuzz targets with clang and runs each for FUZZ_SECONDS
# (default 300) over the committed corpus in fuzz/corpus/.
# `make screenshots` remakes the pictures in docs/ from the real program, and
# `make format` applies .clang-format to every tracked C++ file.
# `make hear` plays a short game by keyboard under the screen reader on a private
# desktop and prints what it said (tests/a11y/hear).
BUILD      := build
TEST_BUILD := build/asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_GEN  := -DCMAKE_EXPORT_COMPILE_COMMANDS=ON

.PHONY: all deps build run hear test bench fuzz screenshots format install package clean

PREFIX  ?= /usr/local
DESTDIR ?=

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_GEN) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-game $(BUILD)

hear: build
	@scripts/install-deps screen-reader
	@tests/a11y/hear $(BUILD)/quorrel $(BUILD)/run/Data

# The end-to-end tests spend most of their time waiting for the game and the X
# server: one test program more than there are cores keeps the cores busy.
TEST_JOBS  ?= $(shell echo $$(($(JOBS) + 1)))
TEST_CONFIG := -DCMAKE_BUILD_TYPE=Debug -DQUORREL_SANITIZE=ON -DQUORREL_WERROR=ON -DQUORREL_TESTS=ON $(CMAKE_GEN)

test: deps
	@cmake -S . -B $(TEST_BUILD) $(TEST_CONFIG) >/dev/null
	@cmake --build $(TEST_BUILD) -j $(JOBS)
	@cd $(TEST_BUILD) && ctest --output-on-failure --timeout 900 -j $(TEST_JOBS)

install: build
	@DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

# The package's file times are those of the last commit (unless SOURCE_DATE_EPOCH is
# given), so that two builds of one commit give the same bytes.
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)

package: deps
	@cmake -S . -B $(BUILD)/package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
	@cmake --build $(BUILD)/package -j $(JOBS)
	@cd $(BUILD)/package && $(if $(SOURCE_DATE_EPOCH),SOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH)) \
	  cpack -G DEB -B $(CURDIR)/$(BUILD) >/dev/null
	@ls $(BUILD)/*.deb

bench: deps
	@cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DQUORREL_BENCH=ON $(CMAKE_GEN) >/dev/null
	@cmake --build build/bench -j $(JOBS) --target quorrel_bench quorrel_measure quorrel_store_bench
	@build/bench/bench/quorrel_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	@build/bench/bench/quorrel_measure
	@cd build/bench && bench/quorrel_store_bench

FUZZ_SECONDS ?= 300

fuzz: deps
	@JOBS=$(JOBS) fuzz/run-fuzzers build/fuzz $(FUZZ_SECONDS)

# The screenshot program (tests/screenshots, no part of `make test`) drives the real
# program on a private X server and saves its
# pictures in $(TEST_BUILD)/screenshots; the ones the documents show are copied to
# docs/, each as test-name:docs-name.
DOC_SCREENSHOTS := mid-game:main-window about:about message-box:message-box solved:solved

screenshots: deps
	@cmake -S . -B $(TEST_BUILD) $(TEST_CONFIG) >/dev/null
	@cmake --build $(TEST_BUILD) -j $(JOBS) --target quorrel_screenshots
	@cd $(TEST_BUILD)/tests && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  ./quorrel_screenshots --gtest_brief=1
	@for pair in $(DOC_SCREENSHOTS); do \
	  cp $(TEST_BUILD)/screenshots/$${pair%%:*}.png docs/$${pair#*:}.png || exit 1; done
	@echo "docs/*.png made from the program"

format: deps
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
