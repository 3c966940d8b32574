# The two commands a newcomer needs: "make run" and "make test". Both install what is missing first.
SHELL := /bin/bash
XVFB := xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24"

.PHONY: all deps native windows test test-native test-windows run clean

all: native windows

deps:
	@scripts/ensure-deps

native: deps
	cmake --preset native
	cmake --build --preset native

windows: deps
	cmake --preset windows
	cmake --build --preset windows

test: test-native test-windows

test-native: native
	ctest --preset native

test-windows: windows
	$(XVFB) scripts/wine-session --virtual-desktop 1280x1024 ctest --preset windows

run: native
	build/native/quillora-cli plan automatic

clean:
	rm -rf build
