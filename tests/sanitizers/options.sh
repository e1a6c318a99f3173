# Sourced by scripts that run a sanitizer build: report every finding, stop at
# the first undefined behaviour, and leave aside only the leaks of the system
# libraries listed in lsan.supp (never the program's own). An allocation that
# fails returns null, as it does without the sanitizer: the program tells a
# WAV file too large to be held in memory, and a test makes one fail.
sanitizers_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0:strict_string_checks=1:allocator_may_return_null=1"
export LSAN_OPTIONS="suppressions=$sanitizers_dir/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
unset sanitizers_dir
