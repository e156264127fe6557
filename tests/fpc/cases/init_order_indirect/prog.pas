program prog;

uses Wrapper, AlphaReg;

begin
end.
