// kivoplay: the player program.
int main() { return 0; }
