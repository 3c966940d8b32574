# The two commands a newcomer needs: "make run" and "make test". Both install what is missing first.
SHELL := /bin/bash
XVFB := xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24"
VIRTUAL_DESKTOP := scripts/wine-session --virtual-desktop 1280x1024

.PHONY: all deps native sanitize windows test test-native test-sanitize test-windows test-reproducible run screenshots pictures bench dist clean

all: native windows

deps:
	@scripts/ensure-deps

native: deps
	cmake --preset native
	cmake --build --preset native

# The engine, the companion and their tests built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer; any report fails the test that made it.
sanitize: deps
	cmake --preset sanitize
	cmake --build --preset sanitize

windows: deps
	cmake --preset windows
	cmake --build --preset windows

# Every phase in turn, stopping at the first that fails, then a table of each phase's seconds.
test: deps
	@scripts/timed-phases test-native test-sanitize test-windows test-reproducible

test-native: native
	ctest --preset native

test-sanitize: sanitize
	ctest --preset sanitize

# Windows tests run under Wine on a virtual X display of their own, in one session of the tests'
# prefix, which is made while the tests build; the end-to-end tests make their own display and
# prefix, so CTest runs them beside the others, as many at once as the machine has cores.
test-windows: deps
	cmake --preset windows
	$(XVFB) $(VIRTUAL_DESKTOP) true & prefix=$$!; \
	    cmake --build --preset windows; built=$$?; \
	    wait $$prefix && [ $$built -eq 0 ]
	$(XVFB) $(VIRTUAL_DESKTOP) ctest --preset windows --parallel $$(nproc)

# A clean build of this checkout in another folder gives the same zip and programs as
# build/windows, whose programs the tests ran.
test-reproducible: windows
	scripts/check-reproducible

# The release: dist/quillora-VERSION-win32.zip and dist/SHA256SUMS, from the programs in
# build/windows.
dist: windows
	scripts/dist

# Quillora.exe under Wine on the current display, in a Wine prefix inside build/. Builds only the
# program, not the tests and tools.
# The Wine prefix is made while the program builds.
run: deps
	@if [ -z "$$DISPLAY" ]; then \
	    echo "make run needs an X display: run it in a desktop session, or as: xvfb-run make run"; \
	    exit 1; \
	fi
	cmake --preset windows
	scripts/wine-session true & prefix=$$!; \
	    cmake --build --preset windows --target Quillora; built=$$?; \
	    wait $$prefix && [ $$built -eq 0 ]
	scripts/wine-session wine build/windows/Quillora.exe

# PNG pictures of every window, for the README, and of the main window at 150 % (144 DPI).
screenshots: windows
	cmake --build --preset windows --target quillora-screenshots
	mkdir -p build/screenshots docs/screenshots
	$(XVFB) $(VIRTUAL_DESKTOP) env WINEDLLOVERRIDES="mscoree,mshtml=;net.exe,sc.exe,explorer.exe=n" \
	    sh -c 'wine build/windows/quillora-screenshots.exe build/screenshots && \
	        wine build/windows/quillora-screenshots.exe --services-window build/screenshots 100 && \
	        scripts/at-dpi 144 build/windows/quillora-screenshots.exe --main-window build/screenshots/main-window-150.bmp'
	# The services window at 150 % needs a desktop wider than the tests' one, which Wine's own
	# explorer makes (so explorer.exe is Wine's here).
	xvfb-run --auto-servernum --server-args="-screen 0 1920x1200x24" scripts/wine-session --virtual-desktop 1920x1200 \
	    env WINEDLLOVERRIDES="mscoree,mshtml=;net.exe,sc.exe=n;explorer.exe=b" \
	    scripts/at-dpi 144 explorer /desktop=Wide,1920x1200 build/windows/quillora-screenshots.exe --services-window build/screenshots 150
	/usr/bin/python3 scripts/bmp-to-png build/screenshots docs/screenshots

# The pictures: drawn by resources/draw_pictures.py, then decoded as Windows decodes them into the
# BMPs that Quillora.exe carries.
pictures: windows
	cmake --build --preset windows --target quillora-pictures
	/usr/bin/python3 resources/draw_pictures.py
	scripts/wine-session wine build/windows/quillora-pictures.exe resources/background.jpg resources/background.bmp
	scripts/wine-session wine build/windows/quillora-pictures.exe resources/banner.gif resources/banner.bmp

# The benchmark table (see README, Performance).
bench: native windows
	cmake --build --preset native --target engine_bench
	cmake --build --preset windows --target quillora-bench
	scripts/bench

clean:
	rm -rf build dist
