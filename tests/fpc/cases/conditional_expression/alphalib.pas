unit AlphaLib;

interface

const
  Fast = 7;
  Green = 'alpha';
  Level = 1;
  Low1 = 9;

implementation

end.
