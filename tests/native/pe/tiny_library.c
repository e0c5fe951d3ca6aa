/* The smallest library and program the cross compilers make: test input for the
   library check, built for both bitnesses. */
#ifdef TINY_PROGRAM
int main(void) { return 0; }
#else
__declspec(dllexport) int tiny_answer(void) { return 42; }
#endif
