# Vorrel: `make run` builds and starts the editor, `make test` builds and runs
# every test. Both install any missing Debian package first.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build program run test stream-asan fuzz bench clean

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
# under AddressSanitizer, in a build of their own; so does the parallel play
# step, whose helpers read the lists the GUI thread goes on filling.
ASAN_BUILD ?= build-asan
STREAM_SUITES = tst_documentstream tst_streamrobustness tst_hostiledocuments tst_parallelstep
stream-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORREL_ASAN=ON -DVORREL_BENCH=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target $(STREAM_SUITES)
	cd $(ASAN_BUILD) && ctest --output-on-failure -R '^($(subst $(eval) ,|,$(STREAM_SUITES)))$$'

# The document reader under libFuzzer for a minute, built with clang and the
# sanitizers, from the seed corpus in tests/fuzz/corpus. New inputs collect
# in $(FUZZ_BUILD)/corpus; a crash, a leak, a slow input or one that takes
# too much memory is written to $(FUZZ_BUILD)/findings and fails the run.
# Every finding becomes a regression input in tests/fuzz/regressions.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	@bash scripts/install-deps.sh fuzz
	@cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DVORREL_FUZZ=ON -DVORREL_ASAN=ON -DVORREL_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_document
	@mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/findings
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp QT_QPA_PLATFORM=offscreen \
	  $(FUZZ_BUILD)/tests/fuzz/fuzz_document -max_len=65536 -max_total_time=$(FUZZ_SECONDS) \
	  -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=64 -artifact_prefix=$(FUZZ_BUILD)/findings/ \
	  $(FUZZ_BUILD)/corpus tests/fuzz/corpus

bench: build
	@for b in $(BUILD)/bench/bench_*; do \
	  [ -f "$$b" ] && [ -x "$$b" ] || continue; echo "== $$b"; \
	  QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96 "$$b" || exit 1; \
	done

clean:
	rm -rf $(BUILD)
