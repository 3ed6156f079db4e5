// Returns at once. Built three times, linked against ever more shared libraries, to measure what
// the dynamic loader alone costs a program that starts and ends immediately.
int main() {
    return 0;
}
