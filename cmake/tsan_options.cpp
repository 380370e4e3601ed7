// Linked into every executable of the thread-sanitizer flavour: its options
// and suppressions travel with the binary rather than with the environment.

extern "C" const char* __tsan_default_options() {
  return "halt_on_error=1:second_deadlock_stack=1:suppressions=" DIVAROD_TSAN_SUPPRESSIONS;
}
