/* A program of a library user: built with nothing but what pkg-config says
 * about the installed quadrel, it evaluates formulas and runs a script line. */
#include <quadrel.h>
#include <stdio.h>
#include <uchar.h>

int main(void) {
  double value = 0;
  e_eval(u"2*sin(#pi/6)+3^2", &value, 0);
  if (GetE_Error() != -1 || value < 9.999 || value > 10.001) {
    fprintf(stderr, "consumer: e_eval gave %f, error %d\n", value, (int)GetE_Error());
    return 1;
  }
  e_eval(u"1+", &value, 0);
  if (GetE_Error() == -1) {
    fprintf(stderr, "consumer: a broken formula gave no error\n");
    return 1;
  }
  printf("%.4f\n", de_eval(u"6*7", 0));
  return 0;
}
