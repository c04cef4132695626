# Purgix: `make run` and `make test` install what is missing, build and go. See README.md.
BUILD    ?= build
WIN64    := $(BUILD)/win64
WIN32    := $(BUILD)/win32
HOST     := $(BUILD)/host
FUZZ     := $(BUILD)/fuzz
JOBS     ?= 2
FUZZ_SECONDS ?= 60
PY       := /usr/bin/python3

.PHONY: all deps build build-win64 build-win32 build-host build-fuzz test test-host test-windows test-dist run bench dist fuzz clean

all: build

deps:
	@tools/install-deps.sh

$(WIN64)/build.ninja: | deps
	cmake -S . -B $(WIN64) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
$(WIN32)/build.ninja: | deps
	cmake -S . -B $(WIN32) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DPURGIX_TESTS=OFF
$(HOST)/build.ninja: | deps
	cmake -S . -B $(HOST) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPURGIX_SANITIZE=ON
$(FUZZ)/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPURGIX_FUZZ=ON

build-win64: $(WIN64)/build.ninja
	ninja -C $(WIN64)
build-win32: $(WIN32)/build.ninja
	ninja -C $(WIN32)
build-host: $(HOST)/build.ninja
	ninja -C $(HOST)
build-fuzz: $(FUZZ)/build.ninja
	ninja -C $(FUZZ)

build: build-host build-win64 build-win32

test-host: build-host
	cd $(HOST) && ctest -j$(JOBS) --output-on-failure

# Wine and GUI tests; whatever happens, no wineserver, Wine process or Xvfb of this tree stays behind.
test-windows: build-win64
	$(PY) tests/support/winebox.py template $(WIN64) >/dev/null
	cd $(WIN64) && ctest -j$(JOBS) --output-on-failure; status=$$?; \
	  $(PY) $(CURDIR)/tests/support/winebox.py stop-leftovers $(CURDIR)/$(WIN64); exit $$status

# The shipped exes: GUI PE files of the right machine, every resource, nothing the 9x line lacks.
test-dist: dist
	$(PY) tests/release/check_dist.py $(BUILD)/dist

test: test-host test-windows test-dist

# PREFIX=/path/to/prefix runs Purgix on an existing prefix instead of the demo machine.
run: build-win64
	$(PY) tools/run_purgix.py $(WIN64) $(PREFIX)

# Speed and memory against bare baselines and clamscan; prints ratios measured in one run.
bench: build-win64
	@tools/install-deps.sh bench
	@tests/bench/run_all.sh $(WIN64)

dist: build-win64 build-win32
	$(PY) tools/make_dist.py $(WIN32) $(WIN64) $(BUILD)/dist

# Every libFuzzer target for FUZZ_SECONDS under ASan/UBSan; a finding fails the run and its input
# lands in build/fuzz/artifacts.
fuzz: build-fuzz
	@status=0; for target in $(FUZZ)/tests/fuzz/fuzz_*; do \
	  name=$${target##*/fuzz_}; seeds=tests/fuzz/seeds/$$name; corpus=$(FUZZ)/corpus/$$name; \
	  [ -d $$seeds ] || { echo "== fuzz_$$name: no seeds in $$seeds"; status=1; continue; }; \
	  mkdir -p $$corpus $(FUZZ)/artifacts; echo "== fuzz_$$name ($(FUZZ_SECONDS) s)"; \
	  if UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 $$target -max_total_time=$(FUZZ_SECONDS) \
	       -artifact_prefix=$(FUZZ)/artifacts/$$name- -print_final_stats=0 $$corpus $$seeds >$(FUZZ)/fuzz_$$name.log 2>&1; \
	  then grep -E '^Done' $(FUZZ)/fuzz_$$name.log; \
	  else tail -n 40 $(FUZZ)/fuzz_$$name.log; echo "== fuzz_$$name FOUND A FAULT (input in $(FUZZ)/artifacts)"; status=1; fi; \
	done; exit $$status

clean:
	-$(PY) tests/support/winebox.py stop-leftovers $(CURDIR)/$(WIN64)
	rm -rf $(BUILD)
