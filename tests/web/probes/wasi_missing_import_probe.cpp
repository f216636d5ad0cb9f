// Imports a function the page does not provide: instantiating it must fail with its name.
extern "C" __attribute__((import_module("env"), import_name("quavel_nowhere"))) int nowhere();

extern "C" __attribute__((export_name("call"))) int call() {
    return nowhere();
}
