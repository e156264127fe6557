program prog;

uses ZetaReg, AlphaReg;

begin
end.
