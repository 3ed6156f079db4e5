// Returns at once. Linked against the instance test's shared libraries, to measure what
// the dynamic loader alone costs a program that starts and ends immediately.
int main() {
    return 0;
}
