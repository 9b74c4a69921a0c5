# Vorrel: `make run` builds and starts the editor, `make test` builds and runs
# every test. Both install any missing Debian package first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build program run test asan-configure stream-asan fuzz bench clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The editor alone: its libraries and the executable, no test or benchmark.
program: configure
	@cmake --build $(BUILD) -j $(JOBS) --target vorrel

run: program
	./$(BUILD)/app/vorrel $(ARGS)

# The sanitizer run comes first so that the full suite's summary closes the output.
test: build stream-asan
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96 ctest --output-on-failure -j $(JOBS)

# Document files are untrusted input: the stream suites run once more
# under AddressSanitizer and UndefinedBehaviorSanitizer, built with clang in a
# build of their own; so does the parallel play step, whose helpers read the
# lists the GUI thread goes on filling. The same build holds the libFuzzer
# target, and fuzz_replay runs it once over the seed corpus and the
# regression inputs, so that every change compiles and runs it.
ASAN_BUILD ?= build-asan
ASAN_FLAGS = -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DVORREL_ASAN=ON -DVORREL_FUZZ=ON -DVORREL_BENCH=OFF
STREAM_SUITES = tst_documentstream tst_streamrobustness tst_hostiledocuments tst_parallelstep
# A sanitizer build made with another compiler (GCC, before) starts afresh.
asan-configure: deps
	@if [ -f $(ASAN_BUILD)/CMakeCache.txt ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang++$$' $(ASAN_BUILD)/CMakeCache.txt; then \
	  echo "$(ASAN_BUILD) was made with another compiler: building it again with clang"; rm -rf $(ASAN_BUILD); fi
	@cmake -S . -B $(ASAN_BUILD) -G Ninja $(ASAN_FLAGS) >/dev/null

stream-asan: asan-configure
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target $(STREAM_SUITES) fuzz_document
	cd $(ASAN_BUILD) && ctest --output-on-failure -R '^($(subst $(eval) ,|,$(STREAM_SUITES) fuzz_replay))$$'

# The document reader under libFuzzer for a minute, in the sanitizer build,
# from the seed corpus in tests/fuzz/corpus. New inputs collect in
# $(ASAN_BUILD)/corpus; a crash, a sanitizer report, a leak, a slow input or
# one that takes too much memory is written to $(ASAN_BUILD)/findings and
# fails the run. Every finding becomes a regression input in
# tests/fuzz/regressions.
FUZZ_SECONDS ?= 60
fuzz: asan-configure
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target fuzz_document
	@mkdir -p $(ASAN_BUILD)/corpus $(ASAN_BUILD)/findings
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  QT_QPA_PLATFORM=offscreen \
	  $(ASAN_BUILD)/tests/fuzz/fuzz_document -max_len=65536 -max_total_time=$(FUZZ_SECONDS) \
	  -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=64 -artifact_prefix=$(ASAN_BUILD)/findings/ \
	  $(ASAN_BUILD)/corpus tests/fuzz/corpus tests/fuzz/regressions

bench: build
	@for b in $(BUILD)/bench/bench_*; do \
	  [ -f "$$b" ] && [ -x "$$b" ] || continue; echo "== $$b"; \
	  QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96 "$$b" || exit 1; \
	done

clean:
	rm -rf $(BUILD)
