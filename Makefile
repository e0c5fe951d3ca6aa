# The two commands. Each one does its own set-up on a fresh Debian machine
# (packages, Wine prefix, build trees) and skips what is already done.
.PHONY: test run bench setup build clean

test:
	@bash scripts/test.sh

run:
	@bash scripts/run.sh

bench:
	@bash scripts/bench.sh

setup:
	@bash scripts/setup.sh

build: setup
	@bash scripts/build.sh

clean:
	rm -rf build out
