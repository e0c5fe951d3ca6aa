# The two commands. Each one does its own set-up on a fresh Debian machine
# (packages, Wine prefix, build trees) and skips what is already done.
.PHONY: test run bench setup build clean dist

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

# The installer and the zip of what ships (32-bit), in build/win32/dist/.
dist: setup
	@bash scripts/build.sh native win32
	@bash scripts/dist.sh win32

clean:
	rm -rf build out
