#!/usr/bin/env bash
# The sanitizer stage: the core suite and the whole pytest suite with AddressSanitizer +
# UndefinedBehaviorSanitizer. (ThreadSanitizer needs a oneTBB built with it: Debian's libtbb
# hands tasks between threads inside uninstrumented code, so every parallel test reports
# false races.) Any sanitizer report fails the stage. Arguments go to pytest.
# gcc's sanitizer runtimes come with g++ on Debian.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

JOBS=${JOBS:-2}
export CMAKE_BUILD_PARALLEL_LEVEL=$JOBS
for rt in libasan.so libubsan.so; do
  # g++ echoes the bare name back when it has no such runtime.
  if [ ! -e "$(g++ -print-file-name=$rt)" ]; then
    echo "sanitize: g++ has no $rt (Debian ships it with g++; reinstall g++)" >&2
    exit 1
  fi
done

configure() {  # build dir, sanitizers, extra cmake arguments
  local dir=$1 sanitize=$2
  shift 2
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABULON_WERROR=ON \
        -DTABULON_SANITIZE="$sanitize" "$@" >/dev/null
}

ASAN_RUNTIME=$(g++ -print-file-name=libasan.so)
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

echo "== core tests under AddressSanitizer + UndefinedBehaviorSanitizer"
configure build/asan-core address,undefined -DTABULON_PYTHON=OFF -DTABULON_CORE_TESTS=ON
cmake --build build/asan-core -j "$JOBS"
ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1" \
  ctest --test-dir build/asan-core --output-on-failure -j "$JOBS" --no-tests=error

echo "== Python tests with the extension under AddressSanitizer + UndefinedBehaviorSanitizer"
# A separate install: .venv keeps the normal build, and this one goes first on sys.path.
ASAN_SITE=$TOP/build/asan-site
"$VPY" -m pip install -q --disable-pip-version-check --no-build-isolation --no-deps --upgrade \
    --target "$ASAN_SITE" -Cbuild-dir=build/asan-ext -Ccmake.build-type=RelWithDebInfo \
    -Ccmake.define.TABULON_WERROR=ON -Ccmake.define.TABULON_SANITIZE=address,undefined .
(
  export PYTHONPATH="$ASAN_SITE${PYTHONPATH:+:$PYTHONPATH}"
  # The interpreter is not instrumented, so the runtime has to be loaded before it. Leak
  # checking stays off here: the interpreter keeps its own allocations alive at exit and
  # would drown any real report; the core suite above runs with leak checking on.
  export LD_PRELOAD="$ASAN_RUNTIME"
  export ASAN_OPTIONS="detect_leaks=0:strict_string_checks=1"
  # Objects from the system allocator, so ASan sees use-after-free of Python objects too.
  export PYTHONMALLOC=malloc
  # From outside the checkout, whose tabulon/ source folder would shadow both installs.
  where=$(cd /tmp && "$VPY" -c 'import tabulon._tabulon as t; print(t.__file__)')
  case $where in
    "$ASAN_SITE"/*) ;;
    *) echo "sanitize: imported $where instead of the sanitized build" >&2; exit 1 ;;
  esac
  "$VENV/bin/pytest" -q -p no:cacheprovider "$@"
)
