unit Wrapper;

interface

uses ZetaReg;

implementation

end.
