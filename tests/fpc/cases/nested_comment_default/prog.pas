program prog;

uses ZetaLib, AlphaLib;

begin
  WriteLn(Describe);
end.
