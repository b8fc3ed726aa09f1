# The two commands of the README: `make run` and `make test`.
# Both install what is missing, configure and build; `make test` then runs every gate.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_ARGS ?=


.PHONY: deb all setup configure build run test unit-tests sanitize format format-check lint bench fuzz clean

all: build

setup:
	@bash tools/setup-debian.sh

configure: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./hm52

# The Debian package hm52_<version>_amd64.deb, here at the top, built with Debian's own tools
# from a clean copy of the committed tree (so that nothing of the build lands in this one).
DEB_BUILD ?= build-deb
deb:
	@bash tools/setup-debian.sh --deb
	rm -rf $(DEB_BUILD) && mkdir -p $(DEB_BUILD)/hm52
	git archive HEAD | tar -x -C $(DEB_BUILD)/hm52
	cd $(DEB_BUILD)/hm52 && dpkg-buildpackage -us -uc -b
	cp $(DEB_BUILD)/hm52_*.deb .
	lintian --info --fail-on error $(DEB_BUILD)/hm52_*.deb
	@ls hm52_*.deb

# Formatting, the normal build and its tests (the layer gates among them), clang-tidy, then the
# sanitizer build and its tests.
test: setup format-check build unit-tests lint sanitize

unit-tests:
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

sanitize: setup
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	    -DHM52_SANITIZE=ON -DHM52_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

SOURCES = $(shell git ls-files -- '*.cpp' '*.h' 2>/dev/null || find src tests tools bench -name '*.cpp' -o -name '*.h')

format:
	clang-format -i $(SOURCES)

format-check: setup
	@clang-format --dry-run --Werror $(SOURCES) && echo "format-check: all sources formatted"

# clang-tidy with the committed .clang-tidy over the program, tools, benchmarks and fuzz target;
# any finding fails. The whole report is kept in $(BUILD)/lint.log, its findings shown here.
lint: build
	@echo "lint: clang-tidy over src, tools, bench and fuzz (report in $(BUILD)/lint.log)"
	@run-clang-tidy -quiet -p $(BUILD) -j $(JOBS) '$(CURDIR)/(src|tools|bench|fuzz)/.*\.cpp$$' \
	    > $(BUILD)/lint.log 2>&1; status=$$?; \
	    grep -E '(warning|error): ' $(BUILD)/lint.log | sort -u; \
	    if [ $$status -ne 0 ]; then echo "lint: clang-tidy found faults"; exit 1; fi; \
	    echo "lint: no findings"

# The operator's clicks at 100,000 and at 1,000,000 QSOs (the large log takes a minute to write).
bench: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ./bench/hm52bench -n 100000
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ./bench/hm52bench -n 1000000 -r 5
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ./bench/adif/hm52bench_adif 100000
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ./bench/adif/hm52bench_adif 1000000
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ./bench/hm52bench_backups -n 1000000

# The ADIF reader under libFuzzer for 60 s, starting from the committed seeds.
fuzz: setup
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	    -DHM52_FUZZ=ON -DHM52_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_adif
	mkdir -p $(FUZZ_BUILD)/fuzz/corpus
	$(FUZZ_BUILD)/fuzz/fuzz_adif -max_total_time=60 -timeout=10 $(FUZZ_BUILD)/fuzz/corpus fuzz/seeds

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
