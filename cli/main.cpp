// Placeholder until the command-line compiler is built.
int main() { return 2; }
