// The GUI program. The windows are built on the core; until they exist the
// program starts and ends at once.
int main(int, char**) { return 0; }
