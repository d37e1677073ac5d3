// Does nothing and ends with status 0. ./test and ./run start it under 32-bit Wine to learn
// whether this machine can run 32-bit programs at all: where the kernel's 32-bit emulation is
// off, Wine's 32-bit loader cannot even be executed.
int main() { return 0; }
