/* The reference of the start-up measurement: a program that does nothing,
   built with the same compiler and flags as the tool. */
int main() { return 0; }
