# Front door: `make run` builds and starts the game, `make test` installs what is
# missing, builds with the sanitizers and runs the whole suite.
BUILD      := build
TEST_BUILD := build/asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_GEN  := -DCMAKE_EXPORT_COMPILE_COMMANDS=ON

.PHONY: all deps build run test bench fuzz install package clean

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

test: deps
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUORREL_SANITIZE=ON \
	  -DQUORREL_WERROR=ON -DQUORREL_TESTS=ON $(CMAKE_GEN) >/dev/null
	@cmake --build $(TEST_BUILD) -j $(JOBS)
	@cd $(TEST_BUILD) && ctest --output-on-failure --timeout 900

install: build
	@DESTDIR=$(DESTDIR) cmake --install $(BUILD) --prefix $(PREFIX)

package: deps
	@cmake -S . -B $(BUILD)/package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
	@cmake --build $(BUILD)/package -j $(JOBS)
	@cd $(BUILD)/package && cpack -G DEB -B $(CURDIR)/$(BUILD) >/dev/null
	@ls $(BUILD)/*.deb

clean:
	rm -rf $(BUILD)
