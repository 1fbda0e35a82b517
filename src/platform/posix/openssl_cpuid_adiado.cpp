// Linked into the installed programs only, with --wrap=OPENSSL_cpuid_setup.
// OpenSSL asks the processor what it can do from the program's start-up
// code, at every start, and under a hypervisor each of those questions is a
// trip to the host: a tenth of a millisecond of a run that has nothing to
// hash. The question asked before `main` is skipped; OpenSSL asks it again
// when it initialises itself on first use (OPENSSL_init_crypto), before any
// digest or signature check.

extern "C" void __real_OPENSSL_cpuid_setup();

namespace {

// The start-up code runs before the constructors; any call after them is
// OpenSSL's own.
bool construido = false;

[[gnu::constructor]] void MarcaConstruido() { construido = true; }

}  // namespace

extern "C" void __wrap_OPENSSL_cpuid_setup() {
  if (construido) __real_OPENSSL_cpuid_setup();
}
