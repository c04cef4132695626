# Purgix: `make run` and `make test` install what is missing, build and go. See README.md.
BUILD    ?= build
WIN64    := $(BUILD)/win64
WIN32    := $(BUILD)/win32
HOST     := $(BUILD)/host
FUZZ     := $(BUILD)/fuzz
JOBS     ?= 2
FUZZ_SECONDS ?= 60
PY       := /usr/bin/python3
# Which exe `make run` shows: x64 (build/win64) or x86, the shipped 32-bit one (build/win32).
ARCH     ?= x64
ifeq ($(filter x64 x86,$(ARCH)),)
$(error ARCH must be x64 or x86, not '$(ARCH)')
endif
RUN_TREE := $(if $(filter x86,$(ARCH)),$(WIN32),$(WIN64))

.PHONY: all deps build build-win64 build-win32 build-host build-fuzz test test-host test-windows test-dist run bench dist fuzz clean

all: build

deps:
	@tools/install-deps.sh

$(WIN64)/build.ninja: | deps
	cmake -S . -B $(WIN64) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
$(WIN32)/build.ninja: | deps
	cmake -S . -B $(WIN32) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
$(HOST)/build.ninja: | deps
	cmake -S . -B $(HOST) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPURGIX_SANITIZE=ON
$(FUZZ)/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPURGIX_FUZZ=ON

build-win64: $(WIN64)/build.ninja
	ninja -C $(WIN64)
# A win32 tree configured before it held the x86 layer's programs gets them now.
build-win32: $(WIN32)/build.ninja
	@! grep -qx 'PURGIX_TESTS:BOOL=OFF' $(WIN32)/CMakeCache.txt || cmake -S . -B $(WIN32) -DPURGIX_TESTS=ON >/dev/null
	ninja -C $(WIN32)
build-host: $(HOST)/build.ninja
	ninja -C $(HOST)
build-fuzz: $(FUZZ)/build.ninja
	ninja -C $(FUZZ)

build: build-host build-win64 build-win32

test-host: build-host
	cd $(HOST) && ctest -j$(JOBS) --output-on-failure

# One tree's ctest; whatever happens, no wineserver, Wine process or Xvfb of that tree stays behind.
tree_tests = $(PY) tests/support/winebox.py template $(1) >/dev/null && (cd $(1) && ctest -j$(JOBS) --output-on-failure); \
  s=$$?; $(PY) tests/support/winebox.py stop-leftovers $(1); [ $$s -eq 0 ]

# Wine and GUI tests of the x64 build, then the x86 layer: the shipped 32-bit exe in 32-bit prefixes,
# skipped with its reason where the kernel cannot run 32-bit programs. Each tree's ctest runs its
# part of the legacy layer too.
test-windows: build-win64 build-win32
	@status=0; $(call tree_tests,$(WIN64)) || status=1; \
	if reason=$$($(PY) tests/support/winebox.py x86-unavailable); then echo "x86 layer and the legacy win98 scenarios skipped: $$reason"; \
	else $(call tree_tests,$(WIN32)) || status=1; fi; exit $$status

# The shipped exes: GUI PE files of the right machine, every resource, nothing the 9x line lacks,
# dated by the commit, signatures checked against SIGN_CA (a PEM chain) when they are signed. Then
# a second build of the program in another folder must give the same bytes, and a throwaway key
# proves the signing path end to end.
test-dist: dist
	$(PY) tests/release/check_dist.py $(BUILD)/dist $(if $(SIGN_CA),--ca $(SIGN_CA))
	$(PY) tests/release/test_reproducible.py $(BUILD)
	$(PY) tests/release/test_signing.py $(BUILD)

test: test-host test-windows test-dist

# PREFIX=/path/to/prefix runs Purgix on an existing prefix instead of the demo machine; ARCH=x86
# shows the shipped 32-bit exe (in a 32-bit prefix) instead of the 64-bit one.
run: build-$(notdir $(RUN_TREE))
	$(PY) tools/run_purgix.py $(RUN_TREE) $(PREFIX)

# Speed and memory against bare baselines and clamscan; prints ratios measured in one run.
bench: build-win64
	@tools/install-deps.sh bench
	@tests/bench/run_all.sh $(WIN64)

# SIGN_PKCS12=key.p12 [SIGN_PASS_FILE=file] signs both exes (Authenticode, SHA-256); without a key
# nothing is signed. The unsigned exes are the same bytes on every build of one commit.
dist: build-win64 build-win32
	$(PY) tools/make_dist.py $(WIN32) $(WIN64) $(BUILD)/dist $(if $(SIGN_PKCS12),--sign $(SIGN_PKCS12)) \
	  $(if $(SIGN_PASS_FILE),--pass-file $(SIGN_PASS_FILE))

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
	-$(PY) tests/support/winebox.py stop-leftovers $(WIN64)
	-$(PY) tests/support/winebox.py stop-leftovers $(WIN32)
	rm -rf $(BUILD)
