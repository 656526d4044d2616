# The two set-up commands of the README, and what they share.
#   make run   installs what is missing, builds the program and starts it
#   make test  installs what is missing, builds with AddressSanitizer and
#              UndefinedBehaviorSanitizer, and runs every test through ctest; then
#              builds the core with ThreadSanitizer and runs the check's tests once more
# Other targets: make bench (benchmarks, Release build), make format.

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
JOBS := $(shell nproc 2>/dev/null || echo 2)
DEPS := cmake make g++ pkg-config libssl-dev libgtest-dev libbenchmark-dev \
        libwxgtk3.2-dev libcanberra-dev xvfb xauth shared-mime-info \
        hicolor-icon-theme adwaita-icon-theme fonts-dejavu-core openbox x11-utils

# Peers the benchmarks measure against (not needed by the tests).
BENCH_DEPS := aide

.PHONY: deps bench-deps install-missing run test bench format

deps:
	@$(MAKE) --no-print-directory install-missing PACKAGES="$(DEPS)"

bench-deps:
	@$(MAKE) --no-print-directory install-missing PACKAGES="$(DEPS) $(BENCH_DEPS)"

install-missing:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -q && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $$missing; \
	fi

run: deps
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build/release -j$(JOBS) --target quillstead
	./build/release/gui/quillstead

test: deps
	cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DQUILL_SANITIZE=ON -DQUILL_WERROR=ON
	cmake --build build/asan -j$(JOBS)
	cd build/asan && ctest --output-on-failure -j$(JOBS)
	cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILL_TSAN=ON -DQUILL_WERROR=ON
	cmake --build build/tsan -j$(JOBS)
	cd build/tsan && ctest --output-on-failure -j$(JOBS)

bench: bench-deps
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release
	cmake --build build/bench -j$(JOBS)
	bash bench/run.sh build/bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
