program prog;

uses ZetaLib, AlphaLib;

begin
  WriteLn(Green);
end.
